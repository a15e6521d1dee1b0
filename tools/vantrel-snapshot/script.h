#pragma once
// The snapshot script: one step a line, '#' starts a comment, blank lines are skipped.
#include <cstdint>
#include <string>
#include <string_view>

namespace vantrel {

enum class StepKind {
    None,  // a blank or comment line
    Scale,  // as on a screen of that pixel ratio: sizes and points stay logical, saves are in device pixels
    Size,
    Seed,
    Menu,
    Key,
    KeyDown,
    KeyUp,
    MouseMove,
    MouseLeftDown,
    MouseRightDown,
    Tick,
    Save,
    Dump,
};

// Keys a script can name: F1..F6, the six Ctrl accelerators and Shift.
enum class ScriptKey { F1, F2, F3, F4, F5, F6, CtrlL, CtrlO, CtrlD, CtrlM, CtrlA, CtrlC, Shift };

struct Step {
    StepKind kind = StepKind::None;
    std::int64_t a = 0;  // size: width; seed: milliseconds; menu: id; mouse: x; tick: count
    std::int64_t b = 0;  // size: height; mouse: y
    double ratio = 1;    // scale: device pixels per logical pixel
    bool left = false;   // mouse move: buttons held
    bool right = false;
    ScriptKey key = ScriptKey::Shift;
    std::string file;  // save
};

// Largest client side a script may ask for, and most ticks one line may ask for.
inline constexpr std::int64_t kScriptMaxSide = 8192;
// The pixel ratios a script may ask for.
inline constexpr double kScriptMinRatio = 1;
inline constexpr double kScriptMaxRatio = 4;
inline constexpr std::int64_t kScriptMaxTicks = 1000000;

// Reads one line. False for anything it does not understand; error then says what.
bool ParseStep(std::string_view line, Step& out, std::string& error);

}  // namespace vantrel
