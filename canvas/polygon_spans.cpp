#include "canvas/polygon_spans.h"

#include "canvas/wide_int.h"

namespace vantrel {

bool PolygonEdgeSetUpWide(const Point2& a, const Point2& b, std::int32_t height, PolygonEdge& out) {
    if (a.y == b.y) {
        return false;
    }
    const Point2& top = a.y < b.y ? a : b;
    const Point2& bottom = a.y < b.y ? b : a;
    const std::int64_t firstRow = std::max<std::int64_t>(top.y, 0);
    const std::int64_t endRow = std::min<std::int64_t>(bottom.y, height);
    if (firstRow >= endRow) {
        return false;
    }
    const std::int64_t dy = static_cast<std::int64_t>(bottom.y) - top.y;  // 1 .. 2^32 - 1
    const std::int64_t dx = static_cast<std::int64_t>(bottom.x) - top.x;  // |dx| < 2^32
    const std::int64_t rows = firstRow - top.y;                           // rows skipped above the surface
    // Crossing on the first visible row: xTop + ceil(dx * rows / dy). The product needs 128 bits
    // only when both factors reach 2^31.
    std::int64_t up = 0;
    std::int64_t remainder = 0;
    if (rows != 0) {
        if ((dx < 0 ? -dx : dx) < (std::int64_t{1} << 31) && rows < (std::int64_t{1} << 31)) {
            const std::int64_t numerator = dx * rows;
            up = numerator >= 0 ? (numerator + dy - 1) / dy : -(-numerator / dy);
            remainder = up * dy - numerator;
        } else {
            const Int128 numerator = static_cast<Int128>(dx) * rows;
            const Int128 wide = CeilDivide(numerator, dy);
            up = static_cast<std::int64_t>(wide);
            remainder = static_cast<std::int64_t>(wide * dy - numerator);
        }
    }
    out.x = top.x + up;
    out.remainder = remainder;
    out.stepX = dx >= 0 ? dx / dy : -((-dx + dy - 1) / dy);
    out.stepRemainder = dx - out.stepX * dy;
    out.dy = dy;
    out.firstRow = static_cast<std::int32_t>(firstRow);
    out.endRow = static_cast<std::int32_t>(endRow);
    return true;
}

}  // namespace vantrel
