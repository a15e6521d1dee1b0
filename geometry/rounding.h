#pragma once
// The one place where floats become integers and bytes: every pixel coordinate and
// colour channel goes through these, so rounding is the same everywhere.
#include <cstdint>

namespace vantrel {

// Truth values as the program stores them: -1 true, 0 false; readers test for non-zero.
using Truth = std::int32_t;
inline constexpr Truth kTrue = -1;
inline constexpr Truth kFalse = 0;
inline constexpr Truth ToTruth(bool value) { return value ? kTrue : kFalse; }

// Rounds a value of magnitude below 2^52 to the nearest integer, halves to even: adding and
// removing 2^52 leaves no fraction bits, and the default rounding mode breaks ties to even.
inline double RoundHalfEvenSmall(double value) {
    constexpr double kTwoTo52 = 4503599627370496.0;
    const double magnitude = value < 0 ? -value : value;
    const double rounded = (magnitude + kTwoTo52) - kTwoTo52;
    return value < 0 ? -rounded : rounded;
}

// Nearest integer, halves to the even neighbour; saturates beyond the int32 range, NaN gives 0.
inline std::int32_t RoundToInt(double value) {
    if (!(value == value)) return 0;
    // Compare before converting: an out-of-range float-to-int conversion is undefined.
    if (value >= 2147483647.0) return 2147483647;
    if (value <= -2147483648.0) return -2147483647 - 1;
    return static_cast<std::int32_t>(RoundHalfEvenSmall(value));
}

// Nearest integer limited to 0..255, halves to even; NaN gives 0.
inline std::uint8_t RoundToByte(double value) {
    if (!(value > 0.0)) return 0;  // also NaN
    if (value >= 255.0) return 255;
    return static_cast<std::uint8_t>(RoundHalfEvenSmall(value));
}

// A channel sum limited to 0..255.
inline std::uint8_t SaturateChannel(int value) {
    return static_cast<std::uint8_t>(value < 0 ? 0 : (value > 255 ? 255 : value));
}

}  // namespace vantrel
