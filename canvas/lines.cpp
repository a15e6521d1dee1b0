#include "canvas/lines.h"

#include <algorithm>

#include "canvas/drawing.h"
#include "canvas/gdi_object.h"
#include "canvas/wide_int.h"

namespace vantrel {
namespace {

// The steps i whose coordinate start + direction * i lies in 0 .. extent - 1, direction +-1;
// without branches, as line directions come in no predictable order.
void StepsInside(std::int64_t start, std::int64_t direction, std::int64_t extent, std::int64_t& first,
                 std::int64_t& last) {
    const std::int64_t backwards = direction >> 63;  // -1 or 0
    first = (backwards & (start - (extent - 1))) | (~backwards & -start);
    last = first + extent - 1;
}

// ifTrue where mask is -1, ifFalse where it is 0.
std::int64_t Select(std::int64_t mask, std::int64_t ifTrue, std::int64_t ifFalse) {
    return (ifTrue & mask) | (ifFalse & ~mask);
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
    // Axes and directions by masks: a mispredicted branch costs as much as a short line's pixels.
    const std::int64_t signX = dx >> 63;
    const std::int64_t signY = dy >> 63;
    const std::int64_t xMajor = -static_cast<std::int64_t>(((dx ^ signX) - signX) > ((dy ^ signY) - signY));
    const std::int64_t majorDelta = Select(xMajor, dx, dy);
    const std::int64_t minorDelta = Select(xMajor, dy, dx);
    const std::int64_t majorStart = Select(xMajor, from.x, from.y);
    const std::int64_t minorStart = Select(xMajor, from.y, from.x);
    const std::int64_t majorExtent = Select(xMajor, surface.width, surface.height);
    const std::int64_t minorExtent = Select(xMajor, surface.height, surface.width);
    const std::int64_t majorSign = majorDelta >> 63;
    const std::int64_t minorSign = minorDelta >> 63;
    const std::int64_t majorDirection = majorSign | 1;
    const std::int64_t minorDirection = minorSign | 1;
    const std::int64_t a = (majorDelta ^ majorSign) - majorSign;  // 1 .. 2^32 - 1
    const std::int64_t b = (minorDelta ^ minorSign) - minorSign;  // 0 .. a
    const std::int64_t tie = minorSign & 1;                       // exact ties go to the smaller coordinate
    const std::int64_t bias = a - 1 + tie;                        // n_i = floor((2 i b + bias) / (2 a))

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
    const std::ptrdiff_t pitch = surface.pitch;
    std::uint32_t* const p = surface.pixels + Select(xMajor, minor, major) * pitch + Select(xMajor, major, minor);
    const std::ptrdiff_t majorStep = majorDirection * Select(xMajor, 1, pitch);
    const std::ptrdiff_t minorStep = minorDirection * Select(xMajor, pitch, 1);
    const std::int64_t count = last - first + 1;
    const std::int64_t error = remainder - 2 * a;  // -2a .. -1; the minor step comes when it reaches 0
    if (RasterMixIsCopy(mix)) {
        const std::uint32_t pixel = mix.xorMask | 0xFF000000u;
        if (b == 0 && xMajor != 0) {
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
