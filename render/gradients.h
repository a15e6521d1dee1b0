#pragma once
// Gradient triangles, the colour strips built from gradient rectangles, and triangle markers.
#include <cstdint>

#include "geometry/color.h"
#include "geometry/point.h"
#include "render/render_target.h"

namespace vantrel {

// Fills the triangle with corners rounded to the nearest pixel, colours interpolated between
// them. The frame's Gradient mode passes a face's projected corners and vertex colours.
void GradientTriangle(DcHandle dc, const Point2F& p0, const Point2F& p1, const Point2F& p2, const ColorRGB& c0,
                      const ColorRGB& c1, const ColorRGB& c2);

// Black to the colour over the first half, the colour to white over the second; along x when
// direction is 1, else along y.
void ThreeStopBar(DcHandle dc, float x0, float y0, float x1, float y1, std::int32_t direction, ColorRef color);

// Seven equal segments magenta-red-yellow-green-cyan-blue-black-white; along x when direction
// is 1, else along y. Neighbouring segments share their boundary exactly.
void SpectrumBar(DcHandle dc, float x0, float y0, float x1, float y1, std::int32_t direction);
// Segments of the spectrum strip; each ends with the colour the next one starts with.
inline constexpr std::int32_t kSpectrumSegments = 7;

// A filled triangle with its apex at (x, y): direction 1 apex on top, 2 on the right, 3 at the
// bottom, 4 on the left; size is its height, its base is size wide. Black outline, brush of the
// colour, drawn through the raster operation. Other directions draw nothing.
void TriangleMarker(RenderTarget& target, float x, float y, std::int32_t direction, float size, ColorRef color,
                    std::int32_t rop2);

}  // namespace vantrel
