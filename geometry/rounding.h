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

// Nearest integer, halves to the even neighbour; saturates beyond the int32 range, NaN gives 0.
std::int32_t RoundToInt(double value);

// Nearest integer limited to 0..255, halves to even; NaN gives 0.
std::uint8_t RoundToByte(double value);

// A channel sum limited to 0..255.
inline std::uint8_t SaturateChannel(int value) {
    return static_cast<std::uint8_t>(value < 0 ? 0 : (value > 255 ? 255 : value));
}

}  // namespace vantrel
