#pragma once
// A sphere of radius 40 as a triangle soup: every face has three vertices of its own, so
// welding has to merge every shared corner. Used by weld tests and benchmarks.
#include <cmath>
#include <cstdint>

#include "scene/mesh_store.h"

namespace vantrel {

inline std::int32_t MakeSphereSoup(Scene& scene, std::int32_t faceCount) {
    // rows x columns quads of two triangles each; take the first faceCount triangles.
    const int columns = 2 * std::max(2, int(std::sqrt(faceCount / 4.0)));
    const int rows = (faceCount + 2 * columns - 1) / (2 * columns) + 1;
    const std::int32_t mesh = AllocateMesh(scene, 3 * faceCount, faceCount);
    if (mesh == 0) return 0;
    const Mesh& m = scene.meshTable[mesh];
    auto at = [&](int row, int column) {
        const float latitude = 3.14159265f * (float(row) / float(rows) - 0.5f);
        const float longitude = 6.2831853f * float(column % columns) / float(columns);
        return Vector3{40 * std::cos(latitude) * std::cos(longitude), 40 * std::sin(latitude),
                       40 * std::cos(latitude) * std::sin(longitude)};
    };
    for (std::int32_t f = 0; f < faceCount; ++f) {
        const int quad = f / 2, row = quad / columns, column = quad % columns;
        const Vector3 a = at(row, column), b = at(row + 1, column), c = at(row + 1, column + 1),
                      d = at(row, column + 1);
        const std::int32_t v = m.firstVertex + 3 * f;
        scene.vertexPool[v] = a;
        scene.vertexPool[v + 1] = f % 2 == 0 ? b : c;
        scene.vertexPool[v + 2] = f % 2 == 0 ? c : d;
        Face& face = scene.facePool[m.firstFace + f];
        face = Face{v, v + 1, v + 2, ColorRGB{200, 100, 50}, 0.5f};
    }
    return mesh;
}

}  // namespace vantrel
