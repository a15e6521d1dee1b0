#pragma once
// Flattening of cubic Bezier segments into polylines (private to the canvas).
//
// Coordinates are scaled by 16, the curve is split at t = 1/2 by integer de Casteljau midpoints
// m = trunc((a + b + 1) / 2), at most 8 levels deep (256 pieces), until each piece passes the
// flatness test; the piece ends, scaled back with floor((v + 8) / 16), are the polyline. 64-bit
// arithmetic keeps this exact for any 32-bit control points.
#include <cstdint>

#include "geometry/point.h"

namespace vantrel {

// Receives the polyline's points in order, the curve's start first.
class BezierPointSink {
public:
    virtual void Point(const Point2& point) = 0;

protected:
    ~BezierPointSink() = default;
};

void BezierFlatten(const Point2& p0, const Point2& p1, const Point2& p2, const Point2& p3, BezierPointSink& sink);

}  // namespace vantrel
