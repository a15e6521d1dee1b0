// Reads drawList, screenVertices and the face pool; writes faceShades (Solid, Shaded,
// Transparent) or vertexNormals and vertexColors (Gradient); draws into the render target.
#include "render/draw_scene.h"

#include "canvas/drawing.h"
#include "render/drawing_tools.h"
#include "render/face_geometry.h"
#include "render/gradients.h"
#include "render/primitives.h"
#include "render/shading.h"

namespace vantrel {

namespace {

// The raster operation, pen and brush a mode draws faces with.
struct ModeTools {
    std::int32_t rop2 = R2_COPYPEN;
    std::int32_t penStyle = PS_SOLID;
    ColorRef penColor = 0;
    std::int32_t brushKind = kBrushSolid;  // hollow: faces are outlined only
};

constexpr ColorRef kWhite = 0x00FFFFFF;
constexpr ColorRef kBlack = 0x00000000;

ModeTools ToolsForMode(std::int32_t mode) {
    switch (mode) {
        case kModeWireframe: return {R2_COPYPEN, PS_SOLID, kWhite, kBrushHollow};
        case kModeSolid: return {R2_COPYPEN, PS_SOLID, kWhite, kBrushSolid};
        case kModeShaded: return {R2_COPYPEN, PS_NULL, kBlack, kBrushSolid};
        case kModeTransparent: return {R2_MERGEPEN, PS_NULL, kBlack, kBrushSolid};
        // Inverted edges, so drawing the same outlines twice restores the picture.
        case kModeOutlined: return {R2_NOT, PS_SOLID, kBlack, kBrushHollow};
        default: return {R2_COPYPEN, PS_NULL, kBlack, kBrushHollow};
    }
}

void DrawListedPolygons(RenderTarget& target, const Scene& scene, const RenderWork& work, std::int32_t brushKind) {
    const ObjectHandle hollow = GetStockObject(NULL_BRUSH);
    for (std::int32_t i = 0; i <= kLastSlot && work.drawList[i] != 0; ++i) {
        const std::int32_t f = work.drawList[i];
        // One brush per filled face, created and deleted around it.
        const ObjectHandle faceBrush =
            brushKind == kBrushHollow ? hollow : CreateSolidBrush(ColorToColorRef(work.faceShades[f]));
        const ObjectHandle replaced = SelectObject(target.dc, faceBrush);
        DrawFacePolygon(target, scene, work, f);
        SelectObject(target.dc, replaced);
        if (faceBrush != hollow) DeleteObject(faceBrush);
    }
}

void DrawListedGradients(RenderTarget& target, const Scene& scene, const RenderWork& work) {
    for (std::int32_t i = 0; i <= kLastSlot && work.drawList[i] != 0; ++i) {
        std::int32_t c[3];
        FaceCorners(scene, work.drawList[i], c);
        const Vector3& s0 = work.screenVertices[c[0]];
        const Vector3& s1 = work.screenVertices[c[1]];
        const Vector3& s2 = work.screenVertices[c[2]];
        GradientTriangle(target.dc, {s0.x, s0.y}, {s1.x, s1.y}, {s2.x, s2.y}, work.vertexColors[c[0]],
                         work.vertexColors[c[1]], work.vertexColors[c[2]]);
    }
}

}  // namespace

void DrawFacePolygon(RenderTarget& target, const Scene& scene, const RenderWork& work, std::int32_t face) {
    std::int32_t corners[3];
    FaceCorners(scene, face, corners);
    Point2 points[3];
    for (int k = 0; k < 3; ++k) {
        const Vector3& screen = work.screenVertices[corners[k]];
        Point2FromPoint2F({screen.x, screen.y}, points[k]);
    }
    Polygon(target.dc, points, 3);
}

void DrawScene(RenderTarget& target, const Scene& scene, RenderWork& work, SettingReports& reports,
               std::int32_t camera) {
    const std::int32_t mode = scene.cameraTable[camera].renderMode;
    const ModeTools tools = ToolsForMode(mode);
    SetROP2(target.dc, tools.rop2);
    if (mode == kModeGradient) {
        // Gradient triangles take neither pen, brush nor raster operation.
        ShadeListedVertices(scene, work, reports, camera);
        DrawListedGradients(target, scene, work);
    } else {
        SelectPen(target, tools.penStyle, tools.penColor);
        SelectBrush(target, tools.brushKind, kBlack);
        if (mode == kModeSolid) ShadeListedFaces(scene, work, reports, camera, FaceColoring::Own);
        if (mode == kModeShaded || mode == kModeTransparent)
            ShadeListedFaces(scene, work, reports, camera, FaceColoring::Lit);
        DrawListedPolygons(target, scene, work, tools.brushKind);
        RestorePenBrush(target);
    }
    DrawPrimitiveMeshes(target, scene, work);
}

}  // namespace vantrel
