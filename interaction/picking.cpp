// Reads drawList and screenVertices of the last frame and the face pool; draws the hover
// outline into the back buffer and writes face colours.
#include "interaction/picking.h"

#include <algorithm>

#include "geometry/point.h"
#include "canvas/drawing.h"
#include "render/draw_scene.h"
#include "render/drawing_tools.h"
#include "render/face_geometry.h"

namespace vantrel {

namespace {

// Mirrors y so that it grows upward; wraps instead of overflowing at the int32 minimum.
Point2 Upward(const Point2& p) {
    return {p.x, static_cast<std::int32_t>(0u - static_cast<std::uint32_t>(p.y))};
}

bool IsFaceSlot(std::int32_t face) { return face > 0 && SlotInTable(face); }

float DepthSum(const RenderWork& work, const std::int32_t (&corners)[3]) {
    return work.screenVertices[corners[0]].z + work.screenVertices[corners[1]].z + work.screenVertices[corners[2]].z;
}

// True when (x, y) lies clear of the box around the unrounded corners. Rounding moves a corner
// by at most half a pixel, so such a point is outside the rounded triangle too.
bool ClearOfCorners(const RenderWork& work, const std::int32_t (&corners)[3], std::int32_t x, std::int32_t y) {
    const Vector3& a = work.screenVertices[corners[0]];
    const Vector3& b = work.screenVertices[corners[1]];
    const Vector3& c = work.screenVertices[corners[2]];
    const float px = static_cast<float>(x), py = static_cast<float>(y);
    // One pixel of margin rather than half: float error must never reject a point inside.
    return px < std::min({a.x, b.x, c.x}) - 1 || px > std::max({a.x, b.x, c.x}) + 1 ||
           py < std::min({a.y, b.y, c.y}) - 1 || py > std::max({a.y, b.y, c.y}) + 1;
}

// Inverts the face's one-pixel outline; drawing it again restores the pixels exactly.
void InvertOutline(RenderTarget& target, const Scene& scene, const RenderWork& work, std::int32_t face) {
    if (IsFaceSlot(face)) DrawFacePolygon(target, scene, work, face);
}

}  // namespace

Truth PointInFace(const Scene& scene, const RenderWork& work, std::int32_t x, std::int32_t y, std::int32_t face) {
    if (!IsFaceSlot(face)) return kFalse;
    std::int32_t corners[3];
    FaceCorners(scene, face, corners);
    Point2 p[3];
    for (int k = 0; k < 3; ++k) {
        const Vector3& screen = work.screenVertices[corners[k]];
        Point2FromPoint2F({screen.x, screen.y}, p[k]);
        p[k] = Upward(p[k]);
    }
    const Point2 q = Upward({x, y});
    return ToTruth(EdgeSide(p[0], p[1], q) && EdgeSide(p[1], p[2], q) && EdgeSide(p[2], p[0], q));
}

std::int32_t PickFace(const Scene& scene, const RenderWork& work, std::int32_t x, std::int32_t y) {
    std::int32_t picked = 0;
    float pickedKey = 0;
    for (std::int32_t i = 0; i < kTableSlots && work.drawList[i] != 0; ++i) {
        const std::int32_t face = work.drawList[i];
        std::int32_t corners[3];
        FaceCorners(scene, face, corners);
        if (ClearOfCorners(work, corners, x, y) || !PointInFace(scene, work, x, y, face)) continue;
        const float key = DepthSum(work, corners);
        // Strictly smaller: of equal sums the face met first stays.
        if (picked == 0 || key < pickedKey) {
            picked = face;
            pickedKey = key;
        }
    }
    return picked;
}

std::int32_t HoverFace(const Scene& scene, const RenderWork& work, const InteractionState& state, std::int32_t x,
                       std::int32_t y) {
    return state.frameMatchesScene ? PickFace(scene, work, x, y) : 0;
}

InputResponse HoverAt(const Scene& scene, const RenderWork& work, RenderTarget& backBuffer, InteractionState& state,
                      std::int32_t x, std::int32_t y) {
    InputResponse response;
    state.hoverFace = HoverFace(scene, work, state, x, y);
    response.cursor = state.hoverFace != 0 ? CursorShape::CrossHair : CursorShape::Arrow;
    if (state.hoverFace == state.highlightFace) return response;

    const std::int32_t previousRop = SetROP2(backBuffer.dc, R2_NOT);
    SelectPen(backBuffer, PS_SOLID, 0x00000000);
    SelectBrush(backBuffer, kBrushHollow, 0x00000000);
    InvertOutline(backBuffer, scene, work, state.highlightFace);
    state.highlightFace = state.hoverFace;
    InvertOutline(backBuffer, scene, work, state.highlightFace);
    RestorePenBrush(backBuffer);
    if (previousRop != 0) SetROP2(backBuffer.dc, previousRop);
    response.presentView = true;
    return response;
}

InputResponse PaintHoveredFace(Scene& scene, InteractionState& state) {
    if (!IsFaceSlot(state.hoverFace) || state.lightPointer != 0) return {};
    Face& face = scene.facePool[state.hoverFace];
    ColorFromColorRef(state.paintColor, face.color);
    face.shine = state.paintShine;
    scene.frameDirty = kTrue;
    return {};
}

InputResponse TakeHoveredFaceColor(const Scene& scene, InteractionState& state) {
    if (!IsFaceSlot(state.hoverFace) || state.lightPointer != 0) return {};
    const Face& face = scene.facePool[state.hoverFace];
    state.paintColor = ColorToColorRef(face.color);
    state.paintShine = face.shine;
    InputResponse response;
    response.repaintShine = true;
    return response;
}

}  // namespace vantrel
