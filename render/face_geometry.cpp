// Reads the face pool and worldVertices.
#include "render/face_geometry.h"

namespace vantrel {

void FaceCorners(const Scene& scene, std::int32_t face, std::int32_t (&corners)[3]) {
    if (!SlotInTable(face)) {
        corners[0] = corners[1] = corners[2] = 0;
        return;
    }
    const Face& record = scene.facePool[face];
    corners[0] = SlotInTable(record.corner0) ? record.corner0 : 0;
    corners[1] = SlotInTable(record.corner1) ? record.corner1 : 0;
    corners[2] = SlotInTable(record.corner2) ? record.corner2 : 0;
}

void FaceCentroid(const Scene& scene, const RenderWork& work, std::int32_t face, Vector3& out) {
    std::int32_t c[3];
    FaceCorners(scene, face, c);
    const Vector3& p0 = work.worldVertices[c[0]];
    const Vector3& p1 = work.worldVertices[c[1]];
    const Vector3& p2 = work.worldVertices[c[2]];
    out = {(p0.x + p1.x + p2.x) / 3.0f, (p0.y + p1.y + p2.y) / 3.0f, (p0.z + p1.z + p2.z) / 3.0f};
}

void FaceNormal(const Scene& scene, const RenderWork& work, std::int32_t face, Vector3& out) {
    std::int32_t c[3];
    FaceCorners(scene, face, c);
    Vector3 edge1, edge2;
    VecSub(work.worldVertices[c[1]], work.worldVertices[c[0]], edge1);
    VecSub(work.worldVertices[c[2]], work.worldVertices[c[0]], edge2);
    VecCross(edge1, edge2, out);
}

}  // namespace vantrel
