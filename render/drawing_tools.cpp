#include "render/drawing_tools.h"

#include "geometry/point.h"
#include "canvas/drawing.h"

namespace vantrel {

// Selecting again before RestorePenBrush replaces the held object, which is deleted at once, and
// keeps the object displaced first, so one RestorePenBrush always brings the context back.
void SelectPen(RenderTarget& target, std::int32_t style, ColorRef color) {
    if (target.dc == nullptr) {
        return;  // nothing would ever draw with it, and nothing would delete it
    }
    const ObjectHandle pen = CreatePen(style, 0, color);
    const ObjectHandle displaced = SelectObject(target.dc, pen);
    if (pen == nullptr) {
        return;
    }
    if (target.pen != nullptr) {
        DeleteObject(target.pen);
    } else {
        target.previousPen = displaced;
    }
    target.pen = pen;
}

void SelectBrush(RenderTarget& target, std::int32_t kind, ColorRef color) {
    if (target.dc == nullptr) {
        return;
    }
    const ObjectHandle brush = kind == kBrushHollow ? GetStockObject(NULL_BRUSH) : CreateSolidBrush(color);
    const ObjectHandle displaced = SelectObject(target.dc, brush);
    if (brush == nullptr) {
        return;
    }
    if (target.brush != nullptr) {
        DeleteObject(target.brush);
    } else {
        target.previousBrush = displaced;
    }
    target.brush = brush;
    target.brushKind = kind;
}

void RestorePenBrush(RenderTarget& target) {
    if (target.dc == nullptr) {
        return;
    }
    if (target.pen != nullptr) {
        SelectObject(target.dc, target.previousPen);
        DeleteObject(target.pen);
        target.pen = nullptr;
    }
    if (target.brush != nullptr) {
        SelectObject(target.dc, target.previousBrush);
        DeleteObject(target.brush);
        target.brush = nullptr;
    }
}

void GradientRect(DcHandle dc, float x0, float y0, float x1, float y1, std::int32_t direction, ColorRef color0,
                  ColorRef color1) {
    const TriVertex vertices[2] = {TriVertexFromColorRef(RoundToInt(x0), RoundToInt(y0), color0),
                                   TriVertexFromColorRef(RoundToInt(x1), RoundToInt(y1), color1)};
    const GradientRectMesh rect{0, 1};
    GradientFill(dc, vertices, 2, &rect, 1, direction == 1 ? GRADIENT_FILL_RECT_H : GRADIENT_FILL_RECT_V);
}

void DrawBackground(DcHandle dc, float width, float height) {
    GradientRect(dc, 0.0f, 0.0f, width, height, 0, kBackgroundTop, kBackgroundBottom);
}

}  // namespace vantrel
