#include "platform/canvas/polygon_spans.h"

#include "platform/canvas/wide_int.h"

namespace vantrel {

bool PolygonEdgeSetUp(const Point2& a, const Point2& b, std::int32_t height, PolygonEdge& out) {
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
    // Crossing on the first visible row: xTop + ceil(dx * rows / dy), exact in 128 bits.
    const Int128 numerator = static_cast<Int128>(dx) * (firstRow - top.y);
    const Int128 up = CeilDivide(numerator, dy);
    out.x = top.x + static_cast<std::int64_t>(up);
    out.remainder = static_cast<std::int64_t>(up * dy - numerator);
    out.stepX = static_cast<std::int64_t>(FloorDivide(dx, dy));
    out.stepRemainder = dx - out.stepX * dy;
    out.dy = dy;
    out.firstRow = static_cast<std::int32_t>(firstRow);
    out.endRow = static_cast<std::int32_t>(endRow);
    return true;
}

}  // namespace vantrel
