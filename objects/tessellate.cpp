#include "objects/tessellate.h"

#include <algorithm>
#include <vector>

#include "objects/mesh_colors.h"
#include "scene/mesh_store.h"

// Split faces get their new corners appended behind the mesh's runs, which sit behind
// everything else after RelocateMeshToEnd. The room is checked once before any split, and the
// mesh records are kept so a late failure (no room to repack) can put everything back.
namespace vantrel {

namespace {

enum class Split { AtCentroid, AtMidpoints };

// The mesh records from one slot to the end of the range, as they were before an edit.
struct MeshRecords {
    std::int32_t firstSlot = 0;
    IndexRange range;
    std::vector<Mesh> records;
};

void KeepMeshRecords(const Scene& scene, std::int32_t firstSlot, MeshRecords& out) {
    out.firstSlot = firstSlot;
    out.range = scene.meshRange;
    out.records.assign(scene.meshTable.begin() + firstSlot, scene.meshTable.begin() + LastIndex(scene.meshRange) + 1);
}

// Valid only while nothing wrote inside the used runs: everything written since lies in free
// slots behind them (the relocated copy and its growth), so the old runs still hold the mesh.
void RestoreMeshRecords(Scene& scene, const MeshRecords& kept) {
    const std::int32_t lastNow = LastIndex(scene.meshRange);
    for (std::int32_t slot = LastIndex(kept.range) + 1; slot <= lastNow; ++slot) scene.meshTable[slot] = Mesh{};
    std::copy(kept.records.begin(), kept.records.end(), scene.meshTable.begin() + kept.firstSlot);
    scene.meshRange = kept.range;
}

std::int32_t CountRealFaces(const Scene& scene, const Mesh& mesh) {
    std::int32_t count = 0;
    for (std::int32_t f = mesh.firstFace; f <= LastFace(mesh); ++f) {
        if (!IsPlaceholderFace(scene.facePool[f])) ++count;
    }
    return count;
}

// Whether passes of the split fit behind the mesh's runs, which end the used part of the pools.
bool GrowthFits(const Mesh& mesh, std::int64_t realFaces, std::int32_t passes, Split split) {
    std::int64_t lastVertex = LastVertex(mesh);
    std::int64_t lastFace = LastFace(mesh);
    for (std::int32_t pass = 0; pass < passes; ++pass) {
        const std::int64_t newVertices = split == Split::AtCentroid ? realFaces : 3 * realFaces;
        const std::int64_t newFaces = split == Split::AtCentroid ? 2 * realFaces : 3 * realFaces;
        lastVertex += newVertices;
        lastFace += newFaces;
        if (lastVertex > kLastSlot || lastFace > kLastSlot) return false;
        realFaces += newFaces;
    }
    return true;
}

std::int32_t AppendVertex(Scene& scene, Mesh& mesh, const Vector3& position) {
    const std::int32_t slot = mesh.firstVertex + mesh.vertexCount;
    scene.vertexPool[slot] = position;
    ++mesh.vertexCount;
    return slot;
}

// The new face takes the colour and shine of the face it was split from.
void AppendFace(Scene& scene, Mesh& mesh, const Face& parent, std::int32_t a, std::int32_t b, std::int32_t c) {
    Face& face = scene.facePool[mesh.firstFace + mesh.faceCount];
    face = parent;
    face.corner0 = a;
    face.corner1 = b;
    face.corner2 = c;
    ++mesh.faceCount;
}

void SplitAtCentroid(Scene& scene, Mesh& mesh, std::int32_t f) {
    const Face face = scene.facePool[f];
    const Vector3& a = scene.vertexPool[face.corner0];
    const Vector3& b = scene.vertexPool[face.corner1];
    const Vector3& c = scene.vertexPool[face.corner2];
    const Vector3 centroid = {(a.x + b.x + c.x) / 3.0f, (a.y + b.y + c.y) / 3.0f, (a.z + b.z + c.z) / 3.0f};
    const std::int32_t g = AppendVertex(scene, mesh, centroid);
    AppendFace(scene, mesh, face, face.corner1, face.corner2, g);
    AppendFace(scene, mesh, face, face.corner2, face.corner0, g);
    scene.facePool[f].corner2 = g;
}

void SplitAtMidpoints(Scene& scene, Mesh& mesh, std::int32_t f) {
    const Face face = scene.facePool[f];
    const Vector3 a = scene.vertexPool[face.corner0];
    const Vector3 b = scene.vertexPool[face.corner1];
    const Vector3 c = scene.vertexPool[face.corner2];
    Vector3 midpoint;
    VecLerp(a, b, 0.5f, midpoint);
    const std::int32_t mab = AppendVertex(scene, mesh, midpoint);
    VecLerp(b, c, 0.5f, midpoint);
    const std::int32_t mbc = AppendVertex(scene, mesh, midpoint);
    VecLerp(c, a, 0.5f, midpoint);
    const std::int32_t mca = AppendVertex(scene, mesh, midpoint);
    AppendFace(scene, mesh, face, face.corner0, mab, mca);
    AppendFace(scene, mesh, face, face.corner1, mbc, mab);
    AppendFace(scene, mesh, face, face.corner2, mca, mbc);
    Face& middle = scene.facePool[f];
    middle.corner0 = mbc;
    middle.corner1 = mca;
    middle.corner2 = mab;
}

std::int32_t Tessellate(Scene& scene, std::int32_t mesh, std::int32_t passes, Split split) {
    if (!IsLiveMesh(scene, mesh) || passes < 1) return mesh;
    const std::int32_t realFaces = CountRealFaces(scene, scene.meshTable[mesh]);
    if (realFaces == 0) return mesh;  // nothing to split, and welding would drop a placeholder face

    MeshRecords kept;
    KeepMeshRecords(scene, mesh, kept);
    const std::int32_t moved = RelocateMeshToEnd(scene, mesh);
    if (moved == 0) return 0;  // reported; nothing changed
    Mesh& target = scene.meshTable[moved];
    if (!GrowthFits(target, realFaces, passes, split)) {
        ReportError(scene.reporter, kErrorMeshMemory);
        RestoreMeshRecords(scene, kept);
        return 0;
    }
    for (std::int32_t pass = 0; pass < passes; ++pass) {
        const std::int32_t lastFace = LastFace(target);
        for (std::int32_t f = target.firstFace; f <= lastFace; ++f) {
            if (IsPlaceholderFace(scene.facePool[f])) continue;
            if (split == Split::AtCentroid) {
                SplitAtCentroid(scene, target, f);
            } else {
                SplitAtMidpoints(scene, target, f);
            }
        }
    }
    if (split == Split::AtMidpoints) WeldMesh(scene, moved);
    const std::int32_t packed = RepackMesh(scene, moved);
    if (packed == 0) RestoreMeshRecords(scene, kept);  // reported by the allocation
    return packed;
}

}  // namespace

std::int32_t TessellateByFace(Scene& scene, std::int32_t mesh, std::int32_t passes) {
    return Tessellate(scene, mesh, passes, Split::AtCentroid);
}

std::int32_t TessellateByEdge(Scene& scene, std::int32_t mesh, std::int32_t passes) {
    return Tessellate(scene, mesh, passes, Split::AtMidpoints);
}

}  // namespace vantrel
