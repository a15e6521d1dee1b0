#pragma once
// The drawing primitives. Coordinates are device pixels anywhere in the 32-bit range: every
// primitive clips at the surface before stepping, so work is proportional to the pixels inside
// the surface, and nothing is ever written outside it. A null context or one without a bitmap
// draws nothing. Pixels (x, y) are the squares [x, x+1) x [y, y+1).
#include <cstdint>

#include "geometry/color.h"
#include "geometry/point.h"
#include "canvas/device_context.h"
#include "canvas/font_engine.h"

namespace vantrel {

// Fills the interior with the brush (alternate rule, a pixel is inside when its top-left corner
// is: left and top edges included, right and bottom excluded), then draws the closed outline
// p0 -> p1 -> ... -> p0 with the pen, both through the raster operation. False for count < 2, and
// when a large polygon cannot get the memory to fill it (the outline is drawn all the same).
bool Polygon(DcHandle dc, const Point2* points, std::int32_t count);

// Moves the current position; previous (if given) receives the old one.
bool MoveToEx(DcHandle dc, std::int32_t x, std::int32_t y, Point2* previous);
// A one-pixel line from the current position to (x, y), start pixel included, end excluded;
// (x, y) becomes the current position.
bool LineTo(DcHandle dc, std::int32_t x, std::int32_t y);

// Cubic Bezier segments through count = 3k + 1 points, drawn with the pen; the very last point
// is not painted. False (nothing drawn) for other counts.
bool PolyBezier(DcHandle dc, const Point2* points, std::uint32_t count);

// Combines the colour into one pixel through the raster operation; returns the colour asked for,
// or CLR_INVALID when the point is outside the surface (nothing is drawn).
ColorRef SetPixel(DcHandle dc, std::int32_t x, std::int32_t y, ColorRef color);
// The pixel's colour, or CLR_INVALID outside the surface.
ColorRef GetPixel(DcHandle dc, std::int32_t x, std::int32_t y);

// Gradient fills. A colour byte b is the channel value b * 256.
struct TriVertex {
    std::int32_t x = 0, y = 0;  // device pixels
    std::uint16_t red = 0, green = 0, blue = 0, alpha = 0;
};
struct GradientTriangleMesh {
    std::uint32_t vertex1 = 0, vertex2 = 0, vertex3 = 0;
};
struct GradientRectMesh {
    std::uint32_t upperLeft = 0, lowerRight = 0;
};
inline constexpr std::uint32_t GRADIENT_FILL_RECT_H = 0;
inline constexpr std::uint32_t GRADIENT_FILL_RECT_V = 1;
inline constexpr std::uint32_t GRADIENT_FILL_TRIANGLE = 2;

// Fills meshCount rectangles (mesh points at GradientRectMesh) or triangles (at
// GradientTriangleMesh) between the given vertices. Ignores pen, brush and raster operation.
// False, drawing nothing, for an unknown mode or a vertex index out of range.
bool GradientFill(DcHandle dc, const TriVertex* vertices, std::uint32_t vertexCount, const void* mesh,
                  std::uint32_t meshCount, std::uint32_t mode);
// The vertex for a point and a packed colour.
TriVertex TriVertexFromColorRef(std::int32_t x, std::int32_t y, ColorRef color);

// Block transfers. SRCCOPY is the only operation; others return false and copy nothing.
inline constexpr std::uint32_t SRCCOPY = 0x00CC0020u;
// Copies width x height pixels from (sourceX, sourceY) of source to (x, y) of destination,
// clipped at both surfaces; destination pixels whose source lies outside stay unchanged.
bool BitBlt(DcHandle destination, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
            DcHandle source, std::int32_t sourceX, std::int32_t sourceY, std::uint32_t operation);

// One line of text with its top-left corner at (x, y) in the text colour, over a box in the
// background colour when the background mode is OPAQUE. The raster operation does not apply.
bool TextOut(DcHandle dc, std::int32_t x, std::int32_t y, const char* text, std::int32_t length);
// Size of the text in the selected font. False (out zero) for a null context or negative length.
bool GetTextExtentPoint32(DcHandle dc, const char* text, std::int32_t length, TextSize& out);

}  // namespace vantrel
