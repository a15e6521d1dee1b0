#include "canvas/lines.h"

#include <algorithm>

#include "canvas/drawing.h"
#include "canvas/gdi_object.h"
#include "canvas/wide_int.h"

namespace vantrel {
namespace {

// The steps i whose coordinate start + direction * i lies in 0 .. extent - 1.
void StepsInside(std::int64_t start, std::int64_t direction, std::int64_t extent, std::int64_t& first,
                 std::int64_t& last) {
    if (direction > 0) {
        first = -start;
        last = extent - 1 - start;
    } else {
        first = start - (extent - 1);
        last = start;
    }
}

}  // namespace

void DrawLine(const Surface& surface, const RasterMix& mix, const Point2& from, const Point2& to) {
    const std::int64_t dx = static_cast<std::int64_t>(to.x) - from.x;
    const std::int64_t dy = static_cast<std::int64_t>(to.y) - from.y;
    if (dx == 0 && dy == 0) {
        return;
    }
    const bool xMajor = (dx < 0 ? -dx : dx) > (dy < 0 ? -dy : dy);
    const std::int64_t majorDelta = xMajor ? dx : dy;
    const std::int64_t minorDelta = xMajor ? dy : dx;
    const std::int64_t majorStart = xMajor ? from.x : from.y;
    const std::int64_t minorStart = xMajor ? from.y : from.x;
    const std::int64_t majorExtent = xMajor ? surface.width : surface.height;
    const std::int64_t minorExtent = xMajor ? surface.height : surface.width;
    const std::int64_t majorDirection = majorDelta > 0 ? 1 : -1;
    const std::int64_t minorDirection = minorDelta >= 0 ? 1 : -1;
    const std::int64_t a = majorDelta * majorDirection;  // 1 .. 2^32 - 1
    const std::int64_t b = minorDelta * minorDirection;  // 0 .. a
    const std::int64_t tie = minorDelta < 0 ? 1 : 0;     // exact ties go to the smaller coordinate

    // Steps whose major coordinate is inside the surface, and within the line.
    std::int64_t first = 0;
    std::int64_t last = 0;
    StepsInside(majorStart, majorDirection, majorExtent, first, last);
    first = std::max<std::int64_t>(first, 0);
    last = std::min<std::int64_t>(last, a - 1);
    // Minor offsets n inside the surface; n_i never decreases, so they are a run of steps too.
    std::int64_t nFirst = 0;
    std::int64_t nLast = 0;
    StepsInside(minorStart, minorDirection, minorExtent, nFirst, nLast);
    if (b == 0) {
        if (nFirst > 0 || nLast < 0) {
            return;
        }
    } else {
        // n_i >= nFirst  <=>  2 i b >= 2 a nFirst - (a - 1 + t)
        const Int128 twoA = 2 * static_cast<Int128>(a);
        const Int128 lower = CeilDivide(twoA * nFirst - (a - 1 + tie), 2 * static_cast<Int128>(b));
        // n_i <= nLast  <=>  2 i b <= 2 a (nLast + 1) - (a - 1 + t) - 1
        const Int128 upper = FloorDivide(twoA * (nLast + 1) - (a - 1 + tie) - 1, 2 * static_cast<Int128>(b));
        if (lower > first) {
            first = lower > last ? last + 1 : static_cast<std::int64_t>(lower);
        }
        if (upper < last) {
            last = upper < first ? first - 1 : static_cast<std::int64_t>(upper);
        }
    }
    if (first > last) {
        return;
    }
    // Minor offset and its remainder at the first visible step, then integer stepping.
    const std::int64_t twoA = 2 * a;
    const Int128 numerator = 2 * static_cast<Int128>(first) * b + (a - 1 + tie);
    std::int64_t n = static_cast<std::int64_t>(numerator / twoA);
    std::int64_t remainder = static_cast<std::int64_t>(numerator % twoA);
    std::int64_t major = majorStart + majorDirection * first;
    for (std::int64_t i = first; i <= last; ++i) {
        const std::int64_t minor = minorStart + minorDirection * n;
        std::uint32_t* pixel = xMajor ? SurfaceRow(surface, static_cast<std::int32_t>(minor)) + major
                                      : SurfaceRow(surface, static_cast<std::int32_t>(major)) + minor;
        *pixel = RasterMixApply(mix, *pixel);
        major += majorDirection;
        remainder += 2 * b;
        if (remainder >= twoA) {
            remainder -= twoA;
            ++n;
        }
    }
}

bool MoveToEx(DcHandle dc, std::int32_t x, std::int32_t y, Point2* previous) {
    if (dc == nullptr) {
        return false;
    }
    if (previous != nullptr) {
        *previous = dc->state.position;
    }
    dc->state.position = Point2{x, y};
    return true;
}

bool LineTo(DcHandle dc, std::int32_t x, std::int32_t y) {
    if (dc == nullptr) {
        return false;
    }
    const Point2 from = dc->state.position;
    dc->state.position = Point2{x, y};
    const Surface* surface = DcSurface(dc);
    ObjectHandle pen = dc->state.pen;
    if (surface != nullptr && !ObjectDrawsNothing(pen)) {
        DrawLine(*surface, RasterMixFor(dc->state.rop2, PixelFromColorRef(pen->color)), from, Point2{x, y});
    }
    return true;
}

}  // namespace vantrel
