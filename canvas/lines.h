#pragma once
// One-pixel lines (private to the canvas).
//
// The pixels of a line from P0 to P1 are those of Bresenham stepping along the major axis (x when
// |dx| > |dy|, else y): step i = 0 .. a - 1 of a = |major delta| sits at offset i along the major
// axis and n_i = floor((2 i b + a - 1 + t) / (2 a)) along the minor one, b = |minor delta|,
// t = 1 when the minor direction is negative. So the minor coordinate is the ideal line rounded
// to nearest with exact ties to the smaller coordinate, the start pixel is drawn and the end pixel
// is not. Exact for any 32-bit end points; only the steps inside the surface are visited.
#include "geometry/point.h"
#include "canvas/raster_ops.h"

namespace vantrel {

void DrawLine(const Surface& surface, const RasterMix& mix, const Point2& from, const Point2& to);

}  // namespace vantrel
