#include "geometry/rounding.h"

#include <cmath>
#include <limits>

namespace vantrel {

std::int32_t RoundToInt(double value) {
    if (std::isnan(value)) return 0;
    // Compare before converting: an out-of-range float-to-int conversion is undefined.
    if (value >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
    if (value <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
    // The default rounding mode rounds to nearest with ties to even.
    return static_cast<std::int32_t>(std::nearbyint(value));
}

std::uint8_t RoundToByte(double value) {
    if (std::isnan(value) || value <= 0.0) return 0;
    if (value >= 255.0) return 255;
    return static_cast<std::uint8_t>(std::nearbyint(value));
}

}  // namespace vantrel
