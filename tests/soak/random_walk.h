#pragma once
// A seeded random walk of window messages through the real window procedure on a recording
// host, checking the program's promises after every message.
#include <cstdint>
#include <string>

namespace vantrel {

inline constexpr std::int32_t kWalkHighestCommand = 64;  // ids 0..64 are counted one by one

struct WalkResult {
    std::int64_t messagesSent = 0;  // top-level messages, not counting repaints the host asked for
    std::string failure;            // "" when every check held; else what broke and the messages before it
    std::string finalState;         // a short digest of the program at the end, for comparing walks

    // What the walk reached, so a walk that stopped exercising something shows.
    bool commandSent[kWalkHighestCommand + 1] = {};
    std::int64_t oddCommands = 0;     // ids below 0 or above the highest
    std::int64_t framesRendered = 0;
    std::int64_t errorBoxes = 0;
    std::int64_t messagesWhileBoxOpen = 0;
    std::int64_t clicksByPanel[4] = {};  // by PanelId, None = outside every panel
    std::int64_t dragMoves = 0;
    std::int64_t shiftRepeats = 0;
    std::int64_t tinyResizes = 0;     // a side of 0 or 1
    std::int64_t oversizeResizes = 0;  // a side beyond the screen
    std::int64_t hoveredMoves = 0;    // moves that left a face under the pointer
    std::int64_t paintedFaces = 0;    // left clicks that changed a face
    std::int64_t objectsAtEnd = 0;    // LiveObjectCount after the program stopped, minus before
};

// Sends `messages` messages chosen from `seed` to a freshly started program and checks after
// each one. Stops at the first broken promise.
WalkResult RunRandomWalk(std::uint64_t seed, std::int64_t messages);

}  // namespace vantrel
