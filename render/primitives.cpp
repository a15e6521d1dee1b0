// Reads the mesh table, the face pool and screenVertices; draws into the render target.
#include "render/primitives.h"

#include <cstring>

#include "canvas/drawing.h"
#include "render/drawing_tools.h"

namespace vantrel {

namespace {

void ScreenPoint(const RenderWork& work, std::int32_t vertex, Point2& out) {
    const Vector3& screen = work.screenVertices[SlotInTable(vertex) ? vertex : 0];
    Point2FromPoint2F({screen.x, screen.y}, out);
}

// The name without leading and trailing spaces, as a pointer into it and a length.
void TrimmedName(const Mesh& mesh, const char*& text, std::int32_t& length) {
    const char* begin = mesh.name;
    // A name without its terminator is taken whole rather than read past.
    const void* terminator = std::memchr(mesh.name, 0, kMeshNameBytes);
    const char* end = terminator ? static_cast<const char*>(terminator) : mesh.name + kMeshNameBytes;
    while (begin < end && *begin == ' ') ++begin;
    while (end > begin && end[-1] == ' ') --end;
    text = begin;
    length = static_cast<std::int32_t>(end - begin);
}

void DrawPointOrText(RenderTarget& target, const Mesh& mesh, const Point2& at, ColorRef color) {
    const char* text = nullptr;
    std::int32_t length = 0;
    TrimmedName(mesh, text, length);
    if (length == 0) {
        SetROP2(target.dc, R2_COPYPEN);
        SetPixel(target.dc, at.x, at.y, color);
        return;
    }
    const ColorRef previousColor = SetTextColor(target.dc, color);
    const std::int32_t previousMode = SetBkMode(target.dc, TRANSPARENT);
    TextOut(target.dc, at.x, at.y, text, length);
    SetBkMode(target.dc, previousMode);
    SetTextColor(target.dc, previousColor);
}

void DrawLine(RenderTarget& target, const RenderWork& work, const Mesh& mesh, ColorRef color) {
    Point2 from, to;
    ScreenPoint(work, mesh.firstVertex, from);
    ScreenPoint(work, mesh.firstVertex + 1, to);
    SetROP2(target.dc, R2_COPYPEN);
    SelectPen(target, PS_SOLID, color);
    MoveToEx(target.dc, from.x, from.y, nullptr);
    LineTo(target.dc, to.x, to.y);
}

void DrawCurve(RenderTarget& target, const RenderWork& work, const Mesh& mesh, ColorRef color) {
    // Start point, two control points, end point, in slot order.
    Point2 points[4];
    for (int k = 0; k < 4; ++k) ScreenPoint(work, mesh.firstVertex + k, points[k]);
    SetROP2(target.dc, R2_COPYPEN);
    SelectPen(target, PS_SOLID, color);
    PolyBezier(target.dc, points, 4);
}

// Points, lines, labels and curves are the visible one-face meshes.
bool IsShownPrimitive(const Mesh& mesh) { return mesh.visible && mesh.faceCount == 1; }

}  // namespace

bool HasPrimitiveMeshes(const Scene& scene) {
    const std::int32_t lastMesh = LastIndex(scene.meshRange);
    for (std::int32_t m = scene.meshRange.first; m <= lastMesh; ++m) {
        if (IsShownPrimitive(scene.meshTable[m])) return true;
    }
    return false;
}

void DrawPrimitiveMeshes(RenderTarget& target, const Scene& scene, const RenderWork& work) {
    const std::int32_t lastMesh = LastIndex(scene.meshRange);
    for (std::int32_t m = scene.meshRange.first; m <= lastMesh; ++m) {
        const Mesh& mesh = scene.meshTable[m];
        if (!IsShownPrimitive(mesh)) continue;
        if (!SlotInTable(mesh.firstVertex) || !SlotInTable(LastVertex(mesh)) || !SlotInTable(mesh.firstFace)) continue;
        // Only the first vertex is tested: the others are drawn as projected.
        const Vector3& anchor = work.screenVertices[mesh.firstVertex];
        if (!(anchor.z > 0.0f && anchor.z < 1.0f)) continue;
        const ColorRef color = ColorToColorRef(scene.facePool[mesh.firstFace].color);
        Point2 at;
        ScreenPoint(work, mesh.firstVertex, at);
        switch (mesh.vertexCount) {
            case 1: DrawPointOrText(target, mesh, at, color); break;
            case 2: DrawLine(target, work, mesh, color); break;
            case 4: DrawCurve(target, work, mesh, color); break;
            default: break;
        }
        RestorePenBrush(target);
    }
}

}  // namespace vantrel
