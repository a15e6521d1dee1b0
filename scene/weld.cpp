#include <cmath>

#include "scene/mesh_store.h"

// Welding in five passes, each walking from the highest slot down so that deletions never
// disturb slots still to be visited.
namespace vantrel {

namespace {

// The 32-bit float nearest 0.0001: vertices closer than this are one vertex.
constexpr float kWeldDistance = 0.0001f;
// Any axis difference above this already puts a pair beyond kWeldDistance, with margin for rounding.
constexpr float kWeldPrefilter = 0.00011f;

bool CloseEnough(const Vector3& a, const Vector3& b) {
    if (std::fabs(a.x - b.x) > kWeldPrefilter || std::fabs(a.y - b.y) > kWeldPrefilter ||
        std::fabs(a.z - b.z) > kWeldPrefilter) {
        return false;
    }
    return VecDistance(a, b) < kWeldDistance;
}

void WeldCoincidentVertices(Scene& scene, std::int32_t mesh) {
    const std::int32_t first = scene.meshTable[mesh].firstVertex;
    for (std::int32_t i = LastVertex(scene.meshTable[mesh]); i >= first; --i) {
        for (std::int32_t j = first; j <= LastVertex(scene.meshTable[mesh]); ++j) {
            if (j != i && CloseEnough(scene.vertexPool[j], scene.vertexPool[i])) {
                // When j < i the survivor slides to i - 1 and is examined again next.
                DeleteVertex(scene, j, i);
                break;
            }
        }
    }
}

void DropUnusedVertices(Scene& scene, std::int32_t mesh) {
    const Mesh& m = scene.meshTable[mesh];
    const std::int32_t first = m.firstVertex;
    for (std::int32_t i = LastVertex(m); i >= first; --i) {
        bool used = false;
        for (std::int32_t f = m.firstFace; f <= LastFace(m) && !used; ++f) used = FaceUsesVertex(scene, i, f);
        if (!used) DeleteVertex(scene, i, 0);
    }
}

enum class FaceFault { CornerOutsideMesh, Degenerate, MissingCorner };

bool HasFault(const Scene& scene, std::int32_t mesh, const Face& face, FaceFault fault) {
    switch (fault) {
        case FaceFault::CornerOutsideMesh:
            return !VertexInMesh(scene, face.corner0, mesh) || !VertexInMesh(scene, face.corner1, mesh) ||
                   !VertexInMesh(scene, face.corner2, mesh);
        case FaceFault::Degenerate:
            return face.corner1 == face.corner0 || face.corner2 == face.corner1 || face.corner0 == face.corner2;
        case FaceFault::MissingCorner:
            return face.corner0 == 0 || face.corner1 == 0 || face.corner2 == 0;
    }
    return false;
}

void DropFaultyFaces(Scene& scene, std::int32_t mesh, FaceFault fault) {
    const Mesh& m = scene.meshTable[mesh];
    const std::int32_t first = m.firstFace;
    for (std::int32_t f = LastFace(m); f >= first; --f) {
        if (HasFault(scene, mesh, scene.facePool[f], fault)) DeleteFace(scene, f);
    }
}

}  // namespace

void WeldMesh(Scene& scene, std::int32_t mesh) {
    WeldCoincidentVertices(scene, mesh);
    DropUnusedVertices(scene, mesh);
    DropFaultyFaces(scene, mesh, FaceFault::CornerOutsideMesh);
    DropFaultyFaces(scene, mesh, FaceFault::Degenerate);
    DropFaultyFaces(scene, mesh, FaceFault::MissingCorner);
}

}  // namespace vantrel
