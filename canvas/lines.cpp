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

// The visible steps, already clipped: pixel p is written, then p moves one step along the major
// axis and, when the error reaches 0, one along the minor axis. The branch-free carry keeps the
// loop free of mispredictions on every slope.
template <typename Write>
void StepLine(std::uint32_t* p, std::ptrdiff_t majorStep, std::ptrdiff_t minorStep, std::int64_t error, std::int64_t up,
              std::int64_t down, std::int64_t count, Write write) {
    for (; count > 0; --count) {
        write(p);
        error += up;
        const std::int64_t carry = ~(error >> 63);
        p += majorStep + (minorStep & carry);
        error -= down & carry;
    }
}

}  // namespace

void DrawLine(const Surface& surface, const RasterMix& mix, const Point2& from, const Point2& to) {
    const std::int64_t dx = static_cast<std::int64_t>(to.x) - from.x;
    const std::int64_t dy = static_cast<std::int64_t>(to.y) - from.y;
    if ((dx == 0 && dy == 0) || RasterMixIsNop(mix)) {
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
    const std::int64_t bias = a - 1 + tie;               // n_i = floor((2 i b + bias) / (2 a))

    // Steps whose major coordinate is inside the surface, and within the line.
    std::int64_t first = 0;
    std::int64_t last = 0;
    StepsInside(majorStart, majorDirection, majorExtent, first, last);
    first = std::max<std::int64_t>(first, 0);
    last = std::min<std::int64_t>(last, a - 1);
    // Minor offsets n inside the surface. n_i runs from 0 to at most b and never decreases, so
    // the steps inside are a run too; only a bound inside 1 .. b needs a division.
    std::int64_t nFirst = 0;
    std::int64_t nLast = 0;
    StepsInside(minorStart, minorDirection, minorExtent, nFirst, nLast);
    if (nFirst > b || nLast < 0) {
        return;
    }
    // Below 2^31 every product here fits 64 bits: 2 a b < 2^63.
    const bool narrow = a < (std::int64_t{1} << 31);
    if (nFirst > 0) {
        // n_i >= nFirst  <=>  2 i b >= 2 a nFirst - bias, the right side positive
        const std::int64_t lower =
            narrow ? (2 * a * nFirst - bias + 2 * b - 1) / (2 * b)
                   : static_cast<std::int64_t>(CeilDivide(2 * static_cast<Int128>(a) * nFirst - bias, 2 * b));
        first = std::max(first, lower);
    }
    if (nLast < b) {
        // n_i <= nLast  <=>  2 i b <= 2 a (nLast + 1) - bias - 1, the right side not negative
        const std::int64_t upper =
            narrow ? (2 * a * (nLast + 1) - bias - 1) / (2 * b)
                   : static_cast<std::int64_t>((2 * static_cast<Int128>(a) * (nLast + 1) - bias - 1) / (2 * b));
        last = std::min(last, upper);
    }
    if (first > last) {
        return;
    }
    // Minor offset and error at the first visible step; a line starting inside needs no division.
    std::int64_t n = 0;
    std::int64_t remainder = bias;
    if (first != 0) {
        if (narrow) {
            const std::int64_t numerator = 2 * first * b + bias;
            n = numerator / (2 * a);
            remainder = numerator % (2 * a);
        } else {
            const Int128 numerator = 2 * static_cast<Int128>(first) * b + bias;
            n = static_cast<std::int64_t>(numerator / (2 * a));
            remainder = static_cast<std::int64_t>(numerator % (2 * a));
        }
    }
    const std::int64_t major = majorStart + majorDirection * first;
    const std::int64_t minor = minorStart + minorDirection * n;
    const std::int64_t x = xMajor ? major : minor;
    const std::int64_t y = xMajor ? minor : major;
    std::uint32_t* const p = SurfaceRow(surface, static_cast<std::int32_t>(y)) + x;
    const std::ptrdiff_t pitch = surface.pitch;
    const std::ptrdiff_t majorStep = majorDirection * (xMajor ? 1 : pitch);
    const std::ptrdiff_t minorStep = minorDirection * (xMajor ? pitch : 1);
    const std::int64_t count = last - first + 1;
    const std::int64_t error = remainder - 2 * a;  // -2a .. -1; the minor step comes when it reaches 0
    if (RasterMixIsCopy(mix)) {
        const std::uint32_t pixel = mix.xorMask | 0xFF000000u;
        if (b == 0 && xMajor) {
            FillPixels(majorDirection > 0 ? p : p - (count - 1), count, pixel);
            return;
        }
        StepLine(p, majorStep, minorStep, error, 2 * b, 2 * a, count, [pixel](std::uint32_t* q) { *q = pixel; });
    } else if (RasterMixIsXor(mix)) {
        const std::uint32_t flip = mix.xorMask;
        StepLine(p, majorStep, minorStep, error, 2 * b, 2 * a, count, [flip](std::uint32_t* q) { *q ^= flip; });
    } else {
        const RasterMix local = mix;
        StepLine(p, majorStep, minorStep, error, 2 * b, 2 * a, count,
                 [local](std::uint32_t* q) { *q = RasterMixApply(local, *q); });
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
