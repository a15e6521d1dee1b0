#include "objects/lattice.h"

#include "scene/mesh_store.h"

namespace vantrel {

namespace {

void Abandon(Scene& scene, Lattice& lattice) {
    ReportError(scene.reporter, kErrorMeshMemory);
    DeleteMesh(scene, lattice.mesh);
    lattice.mesh = 0;
}

bool AppendFace(Scene& scene, Lattice& lattice, std::int32_t a, std::int32_t b, std::int32_t c) {
    Mesh& mesh = scene.meshTable[lattice.mesh];
    const std::int32_t slot = mesh.firstFace + mesh.faceCount;
    if (slot > kLastSlot) {
        Abandon(scene, lattice);
        return false;
    }
    // White with shine 0.5 until the caller colours the mesh.
    scene.facePool[slot] = Face{a, b, c, ColorRGB{255, 255, 255}, 0.5f};
    ++mesh.faceCount;
    return true;
}

}  // namespace

bool LatticeBegin(Scene& scene, std::int32_t columns, Lattice& out) {
    out.columns = columns;
    out.mesh = AllocateMesh(scene, 0, 0);
    return out.mesh != 0;
}

bool LatticeAddVertex(Scene& scene, Lattice& lattice, const Vector3& position) {
    if (lattice.mesh == 0) return false;
    Mesh& mesh = scene.meshTable[lattice.mesh];
    const std::int32_t slot = mesh.firstVertex + mesh.vertexCount;
    if (slot > kLastSlot) {
        Abandon(scene, lattice);
        return false;
    }
    scene.vertexPool[slot] = position;
    ++mesh.vertexCount;
    return true;
}

std::int32_t LatticeFinish(Scene& scene, Lattice& lattice, FaceSides sides) {
    if (lattice.mesh == 0) return 0;
    if (lattice.columns < 2) {  // no cell to join
        DeleteMesh(scene, lattice.mesh);
        lattice.mesh = 0;
        return 0;
    }
    const std::int32_t first = scene.meshTable[lattice.mesh].firstVertex;
    const std::int32_t rows = scene.meshTable[lattice.mesh].vertexCount / lattice.columns;
    for (std::int32_t r = 0; r + 1 < rows; ++r) {
        for (std::int32_t c = 0; c + 1 < lattice.columns; ++c) {
            const std::int32_t here = first + r * lattice.columns + c;
            const std::int32_t below = here + lattice.columns;
            if (!AppendFace(scene, lattice, here, below, below + 1)) return 0;
            if (!AppendFace(scene, lattice, here, below + 1, here + 1)) return 0;
            if (sides == FaceSides::Double) {
                if (!AppendFace(scene, lattice, here, below + 1, below)) return 0;
                if (!AppendFace(scene, lattice, here, here + 1, below + 1)) return 0;
            }
        }
    }
    WeldMesh(scene, lattice.mesh);
    const std::int32_t packed = RepackMesh(scene, lattice.mesh);
    if (packed == 0) DeleteMesh(scene, lattice.mesh);  // reported by the allocation
    lattice.mesh = 0;
    return packed;
}

}  // namespace vantrel
