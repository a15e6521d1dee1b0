#include <algorithm>
#include <cstring>

#include "canvas/drawing.h"
#include "canvas/raster_ops.h"

namespace vantrel {

bool BitBlt(DcHandle destination, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
            DcHandle source, std::int32_t sourceX, std::int32_t sourceY, std::uint32_t operation) {
    if (destination == nullptr || source == nullptr || operation != SRCCOPY) {
        return false;
    }
    const Surface* to = DcSurface(destination);
    const Surface* from = DcSurface(source);
    if (to == nullptr || from == nullptr || width <= 0 || height <= 0) {
        return true;
    }
    // Offsets k (0 <= k < size) that land inside both surfaces, per axis, in 64 bits.
    const auto inside = [](std::int64_t at, std::int64_t sourceAt, std::int64_t size, std::int64_t extent,
                           std::int64_t sourceExtent, std::int64_t& first, std::int64_t& end) {
        first = std::max({std::int64_t{0}, -at, -sourceAt});
        end = std::min({size, extent - at, sourceExtent - sourceAt});
    };
    std::int64_t column = 0, columnEnd = 0, row = 0, rowEnd = 0;
    inside(x, sourceX, width, to->width, from->width, column, columnEnd);
    inside(y, sourceY, height, to->height, from->height, row, rowEnd);
    if (column >= columnEnd || row >= rowEnd) {
        return true;
    }
    const std::size_t bytes = static_cast<std::size_t>(columnEnd - column) * sizeof(std::uint32_t);
    // Within one surface, copy rows in the order that never reads an already overwritten row.
    const bool upward = to == from && y > sourceY;
    for (std::int64_t k = 0; k < rowEnd - row; ++k) {
        const std::int64_t r = upward ? rowEnd - 1 - k : row + k;
        std::uint32_t* target = SurfaceRow(*to, static_cast<std::int32_t>(y + r)) + (x + column);
        const std::uint32_t* origin = SurfaceRow(*from, static_cast<std::int32_t>(sourceY + r)) + (sourceX + column);
        std::memmove(target, origin, bytes);
    }
    return true;
}

}  // namespace vantrel
