#pragma once
// Shared helpers for the object tests: an error log and geometric checks on whole meshes.
#include <cstdint>
#include <cstring>
#include <map>
#include <tuple>
#include <utility>
#include <vector>

#include "scene/camera.h"
#include "scene/mesh_store.h"
#include "scene/scene.h"

namespace vantrel::testing {

struct ErrorLog {
    int count = 0;
    int meshMemory = 0;  // "Unable to allocate memory for mesh!"
};

inline void LogError(void* context, const char*, const char* text) {
    auto* log = static_cast<ErrorLog*>(context);
    ++log->count;
    if (std::strcmp(text, "Unable to allocate memory for mesh!") == 0) ++log->meshMemory;
}

// A scene as the program has it after start-up, reporting into log.
inline void StartScene(Scene& scene, ErrorLog& log) {
    Orbit orbit;
    BuildDefaultScene(scene, orbit);
    scene.reporter = {LogError, &log};
}

inline Vector3 FaceNormal(const Scene& scene, const Face& face) {
    Vector3 e1, e2, normal;
    VecSub(scene.vertexPool[face.corner1], scene.vertexPool[face.corner0], e1);
    VecSub(scene.vertexPool[face.corner2], scene.vertexPool[face.corner0], e2);
    VecCross(e1, e2, normal);
    return normal;
}

inline Vector3 FaceCentroid(const Scene& scene, const Face& face) {
    const Vector3& a = scene.vertexPool[face.corner0];
    const Vector3& b = scene.vertexPool[face.corner1];
    const Vector3& c = scene.vertexPool[face.corner2];
    return {(a.x + b.x + c.x) / 3, (a.y + b.y + c.y) / 3, (a.z + b.z + c.z) / 3};
}

// Sum of the tetrahedra from the origin to each face: positive when the windings point out.
inline double SignedVolume(const Scene& scene, std::int32_t mesh) {
    const Mesh& m = scene.meshTable[mesh];
    double volume = 0;
    for (std::int32_t f = m.firstFace; f <= LastFace(m); ++f) {
        const Face& face = scene.facePool[f];
        const Vector3& a = scene.vertexPool[face.corner0];
        Vector3 bc;
        VecCross(scene.vertexPool[face.corner1], scene.vertexPool[face.corner2], bc);
        volume += double(VecDot(a, bc)) / 6.0;
    }
    return volume;
}

// Closed and consistently wound: every directed edge appears once and its reverse once.
inline bool IsClosedAndConsistent(const Scene& scene, std::int32_t mesh) {
    const Mesh& m = scene.meshTable[mesh];
    std::map<std::pair<std::int32_t, std::int32_t>, int> edges;
    for (std::int32_t f = m.firstFace; f <= LastFace(m); ++f) {
        const Face& face = scene.facePool[f];
        ++edges[{face.corner0, face.corner1}];
        ++edges[{face.corner1, face.corner2}];
        ++edges[{face.corner2, face.corner0}];
    }
    for (const auto& [edge, count] : edges) {
        if (count != 1) return false;
        const auto reverse = edges.find({edge.second, edge.first});
        if (reverse == edges.end() || reverse->second != 1) return false;
    }
    return true;
}

// Everything a command could change about one mesh, for before/after comparisons.
struct MeshContents {
    std::vector<std::tuple<float, float, float>> vertices;
    std::vector<std::tuple<int, int, int, int, int, int, float>> faces;  // corners local, colour, shine
    bool operator==(const MeshContents&) const = default;
};

inline MeshContents ContentsOf(const Scene& scene, std::int32_t mesh) {
    MeshContents out;
    const Mesh& m = scene.meshTable[mesh];
    for (std::int32_t v = m.firstVertex; v <= LastVertex(m); ++v) {
        const Vector3& p = scene.vertexPool[v];
        out.vertices.emplace_back(p.x, p.y, p.z);
    }
    for (std::int32_t f = m.firstFace; f <= LastFace(m); ++f) {
        const Face& face = scene.facePool[f];
        out.faces.emplace_back(face.corner0 - m.firstVertex, face.corner1 - m.firstVertex,
                               face.corner2 - m.firstVertex, face.color.r, face.color.g, face.color.b, face.shine);
    }
    return out;
}

}  // namespace vantrel::testing
