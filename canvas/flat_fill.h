#pragma once
// A flat opaque triangle drawn nearest first: the pixels Polygon fills for it with a null pen and
// R2_COPYPEN, only where a RowCoverage (rows from the surface's first) does not hold them yet.
#include "canvas/drawing.h"
#include "canvas/row_coverage.h"

namespace vantrel {

// The triangle's pixels outside the coverage set to color, the coverage then taking in all of
// them. False when a row had no room for another run or lies beyond the coverage's rows: the
// triangle is drawn in part, and the coverage is spent.
bool FlatTriangleUncovered(DcHandle dc, const Point2 (&corners)[3], ColorRef color, RowCoverage& coverage);

// The triangle's pixels merged with color (R2_MERGEPEN) as Polygon would, over rows that outside
// the coverage hold under[row] each: pixels the coverage holds are merged in place, the others
// written as under[row] merged, and the coverage takes them in. False as FlatTriangleUncovered.
bool FlatTriangleMergedOver(DcHandle dc, const Point2 (&corners)[3], ColorRef color, const std::uint32_t* under,
                            RowCoverage& coverage);

// Adds the pixels Polygon fills for the triangle (rows from a width x height surface's first) to the
// coverage, in the rows that have room for them, drawing nothing.
void CoverTriangle(const Point2 (&corners)[3], std::int32_t width, std::int32_t height, RowCoverage& coverage);

}  // namespace vantrel
