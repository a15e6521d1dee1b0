#pragma once
// Gradient fills for opaque shapes drawn nearest first: each fills only the pixels of the
// context's surface that a RowCoverage (rows from the surface's first) does not hold yet, so the
// pixels end up those of drawing the same shapes farthest first.
#include "canvas/drawing.h"
#include "canvas/row_coverage.h"

namespace vantrel {

// The triangle's pixels outside the coverage, which then takes in all of its pixels; nothing is
// set up for a triangle wholly covered. False when a row had no room for another run or lies
// beyond the coverage's rows: the triangle is drawn in part, and the coverage is spent.
bool GradientTriangleUncovered(DcHandle dc, const TriVertex (&corners)[3], RowCoverage& coverage);

// The vertical gradient rectangle between the corners, only on pixels outside the coverage.
void GradientRectVUncovered(DcHandle dc, const TriVertex (&corners)[2], const RowCoverage& coverage);

// The pixel that rectangle gives each of rows 0 .. rows - 1; false, with nothing written, unless
// it spans all of them and starts at column 0 or before.
bool GradientRectVRowPixels(const TriVertex (&corners)[2], std::int32_t rows, std::uint32_t* pixels);

}  // namespace vantrel
