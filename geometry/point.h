#pragma once
// Integer window points and float screen points.
#include <cstdint>

#include "geometry/rounding.h"

namespace vantrel {

struct Point2 {
    std::int32_t x = 0, y = 0;
};

struct Point2F {
    float x = 0, y = 0;
};

// Wrapping integer difference, so no input overflows.
void Point2Sub(const Point2& a, const Point2& b, Point2& out);
// Nearest pixel, halves to even; saturates beyond the int32 range, NaN gives 0.
void Point2FromPoint2F(const Point2F& p, Point2& out);
void Point2ToPoint2F(const Point2& p, Point2F& out);
// -1 when p2 lies on the negative side of the edge p0 -> p1 (negative cross product).
Truth EdgeSide(const Point2& p0, const Point2& p1, const Point2& p2);

}  // namespace vantrel
