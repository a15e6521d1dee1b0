#include <array>

#include "geometry/matrix.h"
#include "objects/solids.h"
#include "objects/tessellate.h"
#include "scene/mesh_store.h"

// The solids written out corner by corner, and the geo-sphere grown from the octahedron.
namespace vantrel {

namespace {

struct Corners {
    std::int32_t a, b, c;  // local vertex numbers
};

// Fills a freshly allocated mesh with local vertex and face lists, faces white with shine 0.5.
template <std::size_t V, std::size_t F>
void FillMesh(Scene& scene, std::int32_t mesh, const std::array<Vector3, V>& vertices,
              const std::array<Corners, F>& faces) {
    const Mesh& target = scene.meshTable[mesh];
    for (std::size_t v = 0; v < V; ++v) scene.vertexPool[target.firstVertex + std::int32_t(v)] = vertices[v];
    for (std::size_t f = 0; f < F; ++f) {
        const std::int32_t base = target.firstVertex;
        scene.facePool[target.firstFace + std::int32_t(f)] =
            Face{base + faces[f].a, base + faces[f].b, base + faces[f].c, ColorRGB{255, 255, 255}, 0.5f};
    }
}

}  // namespace

std::int32_t MakeBox(Scene& scene, const Vector3& size) {
    const std::int32_t mesh = AllocateMesh(scene, 8, 12);
    if (mesh == 0) return 0;
    const float x = size.x, y = size.y, z = size.z;
    const std::array<Vector3, 8> vertices = {{{0, 0, 0}, {x, 0, 0}, {x, 0, z}, {0, 0, z},
                                              {0, y, 0}, {x, y, 0}, {x, y, z}, {0, y, z}}};
    // The four sides going round (z = 0, x = sx, z = sz, x = 0), then bottom and top.
    const std::array<Corners, 12> faces = {{{0, 4, 5}, {0, 5, 1}, {1, 5, 6}, {1, 6, 2}, {2, 6, 7}, {2, 7, 3},
                                            {3, 7, 4}, {3, 4, 0}, {3, 0, 1}, {3, 1, 2}, {4, 7, 6}, {4, 6, 5}}};
    FillMesh(scene, mesh, vertices, faces);
    return mesh;
}

std::int32_t MakeTetrahedron(Scene& scene, float circumradius) {
    const std::int32_t mesh = AllocateMesh(scene, 4, 4);
    if (mesh == 0) return 0;
    // Alternate corners of the unit cube.
    const std::array<Vector3, 4> vertices = {{{0, 0, 0}, {1, 0, 1}, {1, 1, 0}, {0, 1, 1}}};
    const std::array<Corners, 4> faces = {{{1, 2, 3}, {1, 0, 2}, {2, 0, 3}, {3, 0, 1}}};
    FillMesh(scene, mesh, vertices, faces);
    CentreMesh(scene, mesh);
    // After centring every corner lies sqrt(0.75) from the origin.
    const float factor = circumradius / VecLength(scene.vertexPool[scene.meshTable[mesh].firstVertex]);
    Matrix4 scaling;
    MatScaling({factor, factor, factor}, scaling);
    TransformMesh(scene, mesh, scaling);
    return mesh;
}

std::int32_t MakeGeoSphere(Scene& scene, float radius, std::int32_t levels) {
    std::int32_t mesh = MakeSphere(scene, radius, 4, 2);
    if (mesh == 0) return 0;
    for (std::int32_t level = 0; level < levels; ++level) {
        const std::int32_t refined = TessellateByEdge(scene, mesh, 1);
        if (refined == 0) {  // reported; the octahedron alone is not what was asked for
            DeleteMesh(scene, mesh);
            return 0;
        }
        mesh = refined;
        const Mesh& target = scene.meshTable[mesh];
        for (std::int32_t v = target.firstVertex; v <= LastVertex(target); ++v) {
            VecNormalize(scene.vertexPool[v], scene.vertexPool[v]);
            VecScale(scene.vertexPool[v], radius, scene.vertexPool[v]);
        }
    }
    return mesh;
}

}  // namespace vantrel
