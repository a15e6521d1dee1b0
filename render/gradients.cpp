#include "render/gradients.h"

#include "geometry/point.h"
#include "canvas/drawing.h"
#include "render/drawing_tools.h"

namespace vantrel {
namespace {

constexpr ColorRef kSpectrumStops[kSpectrumSegments + 1] = {
    0x00FF00FF,  // magenta
    0x000000FF,  // red
    0x0000FFFF,  // yellow
    0x0000FF00,  // green
    0x00FFFF00,  // cyan
    0x00FF0000,  // blue
    0x00000000,  // black
    0x00FFFFFF,  // white
};

TriVertex VertexFrom(const Point2F& point, const ColorRGB& color) {
    Point2 pixel;
    Point2FromPoint2F(point, pixel);
    return TriVertexFromColorRef(pixel.x, pixel.y, ColorToColorRef(color));
}

}  // namespace

void GradientTriangle(DcHandle dc, const Point2F& p0, const Point2F& p1, const Point2F& p2, const ColorRGB& c0,
                      const ColorRGB& c1, const ColorRGB& c2) {
    const TriVertex vertices[3] = {VertexFrom(p0, c0), VertexFrom(p1, c1), VertexFrom(p2, c2)};
    const GradientTriangleMesh triangle{0, 1, 2};
    GradientFill(dc, vertices, 3, &triangle, 1, GRADIENT_FILL_TRIANGLE);
}

void ThreeStopBar(DcHandle dc, float x0, float y0, float x1, float y1, std::int32_t direction, ColorRef color) {
    if (direction == 1) {
        const float half = (x1 - x0) / 2;
        GradientRect(dc, x0, y0, x0 + half, y1, direction, 0x00000000, color);
        GradientRect(dc, x0 + half, y0, x0 + 2 * half, y1, direction, color, 0x00FFFFFF);
        return;
    }
    const float half = (y1 - y0) / 2;
    GradientRect(dc, x0, y0, x1, y0 + half, direction, 0x00000000, color);
    GradientRect(dc, x0, y0 + half, x1, y0 + 2 * half, direction, color, 0x00FFFFFF);
}

void SpectrumBar(DcHandle dc, float x0, float y0, float x1, float y1, std::int32_t direction) {
    const bool alongX = direction == 1;
    const float step = alongX ? (x1 - x0) / kSpectrumSegments : (y1 - y0) / kSpectrumSegments;
    // Each boundary is computed once and handed on, so the two segments meeting there round it alike.
    float from = alongX ? x0 : y0;
    for (std::int32_t k = 0; k < kSpectrumSegments; ++k) {
        const float to = (alongX ? x0 : y0) + static_cast<float>(k + 1) * step;
        if (alongX) {
            GradientRect(dc, from, y0, to, y1, direction, kSpectrumStops[k], kSpectrumStops[k + 1]);
        } else {
            GradientRect(dc, x0, from, x1, to, direction, kSpectrumStops[k], kSpectrumStops[k + 1]);
        }
        from = to;
    }
}

void TriangleMarker(RenderTarget& target, float x, float y, std::int32_t direction, float size, ColorRef color,
                    std::int32_t rop2) {
    const float h = size / 2;
    Point2F corners[3];
    switch (direction) {
    case 1: corners[1] = {x + h, y + size}; corners[2] = {x - h, y + size}; break;
    case 2: corners[1] = {x - size, y + h}; corners[2] = {x - size, y - h}; break;
    case 3: corners[1] = {x - h, y - size}; corners[2] = {x + h, y - size}; break;
    case 4: corners[1] = {x + size, y - h}; corners[2] = {x + size, y + h}; break;
    default: return;
    }
    corners[0] = {x, y};
    Point2 points[3];
    for (int k = 0; k < 3; ++k) {
        Point2FromPoint2F(corners[k], points[k]);
    }
    SetROP2(target.dc, rop2);
    SelectPen(target, PS_SOLID, 0x00000000);
    SelectBrush(target, kBrushSolid, color);
    Polygon(target.dc, points, 3);
    RestorePenBrush(target);
}

}  // namespace vantrel
