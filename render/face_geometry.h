#pragma once
// Per-face world-space geometry from the world vertices of the current frame. Inline, as the
// per-face loops call these for every face of every frame; the arithmetic is that of the
// geometry layer's vector operations, term for term, so the results are the same bits.
#include <cmath>
#include <cstdint>

#include "render/render_work.h"
#include "scene/scene.h"

namespace vantrel {

// The three corner slots of a face; a corner outside the pool reads as slot 0.
inline void FaceCorners(const Scene& scene, std::int32_t face, std::int32_t (&corners)[3]) {
    if (!SlotInTable(face)) {
        corners[0] = corners[1] = corners[2] = 0;
        return;
    }
    const Face& record = scene.facePool[face];
    corners[0] = SlotInTable(record.corner0) ? record.corner0 : 0;
    corners[1] = SlotInTable(record.corner1) ? record.corner1 : 0;
    corners[2] = SlotInTable(record.corner2) ? record.corner2 : 0;
}

// The world positions of a face's three corners.
struct FaceWorldCorners {
    const Vector3& p0;
    const Vector3& p1;
    const Vector3& p2;
};

inline FaceWorldCorners WorldCornersOf(const Scene& scene, const RenderWork& work, std::int32_t face) {
    std::int32_t c[3];
    FaceCorners(scene, face, c);
    return {work.worldVertices[c[0]], work.worldVertices[c[1]], work.worldVertices[c[2]]};
}

// The mean of the three corners in world space.
inline void FaceCentroid(const Scene& scene, const RenderWork& work, std::int32_t face, Vector3& out) {
    const auto [p0, p1, p2] = WorldCornersOf(scene, work, face);
    out = {(p0.x + p1.x + p2.x) / 3.0f, (p0.y + p1.y + p2.y) / 3.0f, (p0.z + p1.z + p2.z) / 3.0f};
}

// (c1 - c0) x (c2 - c0) in world space, not normalised: its length is twice the face area,
// and for the generated solids it points out of the solid.
inline void FaceNormal(const Scene& scene, const RenderWork& work, std::int32_t face, Vector3& out) {
    const auto [p0, p1, p2] = WorldCornersOf(scene, work, face);
    const Vector3 edge1{p1.x - p0.x, p1.y - p0.y, p1.z - p0.z};
    const Vector3 edge2{p2.x - p0.x, p2.y - p0.y, p2.z - p0.z};
    out = {edge1.y * edge2.z - edge1.z * edge2.y, edge1.z * edge2.x - edge1.x * edge2.z,
           edge1.x * edge2.y - edge1.y * edge2.x};
}

// As VecNormalize: a vector of length 0 leaves out as it was.
inline void VecNormalizeInline(const Vector3& v, Vector3& out) {
    const float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    if (length != 0.0f) {
        const float scale = 1.0f / length;
        out = {scale * v.x, scale * v.y, scale * v.z};
    }
}

// As VecCosAngle: 0 when either vector is zero.
inline float VecCosAngleInline(const Vector3& a, const Vector3& b) {
    if ((a.x == 0.0f && a.y == 0.0f && a.z == 0.0f) || (b.x == 0.0f && b.y == 0.0f && b.z == 0.0f)) return 0.0f;
    Vector3 unitA, unitB;
    VecNormalizeInline(a, unitA);
    VecNormalizeInline(b, unitB);
    return unitA.x * unitB.x + unitA.y * unitB.y + unitA.z * unitB.z;
}

// VecCosAngleInline(a, b) > 0, without the square roots when the sign is beyond doubt: with both
// squared lengths in [1e-30, 1e30] and |cos| above 1e-5, rounding (a few 1e-7 at most in either
// form) cannot flip the raw dot product's sign. Everything else, NaN included, takes the full path.
inline bool CosAnglePositive(const Vector3& a, const Vector3& b) {
    const float dot = a.x * b.x + a.y * b.y + a.z * b.z;
    const float aa = a.x * a.x + a.y * a.y + a.z * a.z;
    const float bb = b.x * b.x + b.y * b.y + b.z * b.z;
    constexpr float kLeast = 1e-30f, kMost = 1e30f;
    if (aa >= kLeast && aa <= kMost && bb >= kLeast && bb <= kMost && dot * dot > 1e-10f * aa * bb)
        return dot > 0.0f;
    return VecCosAngleInline(a, b) > 0.0f;
}

}  // namespace vantrel
