#pragma once
// The information overlay's rows as text, kept with the frame they were built for.
#include <cstdint>

namespace vantrel {

inline constexpr std::int32_t kOverlayRows = 7;
inline constexpr std::int32_t kOverlayRowBytes = 160;  // "Name: " and a 127-character name fit

struct OverlayText {
    char rows[kOverlayRows][kOverlayRowBytes] = {};
    std::int32_t lengths[kOverlayRows] = {};
};

}  // namespace vantrel
