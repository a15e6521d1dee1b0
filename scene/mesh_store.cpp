#include "scene/mesh_store.h"

#include <algorithm>
#include <cstring>

namespace vantrel {

namespace {

enum class RunKind { Vertex, Face };

std::int32_t RunFirst(const Mesh& mesh, RunKind kind) {
    return kind == RunKind::Vertex ? mesh.firstVertex : mesh.firstFace;
}

std::int32_t RunLast(const Mesh& mesh, RunKind kind) {
    return kind == RunKind::Vertex ? LastVertex(mesh) : LastFace(mesh);
}

// First fit: only gaps that end right before some mesh's run count, the first such mesh
// in slot order wins; otherwise append behind the highest used slot. 0 when nothing fits.
std::int32_t FindRun(const Scene& scene, std::int32_t length, RunKind kind) {
    if (length < 0) return 0;
    const std::int32_t lastMesh = LastIndex(scene.meshRange);
    if (length != 0) {
        for (std::int32_t i = scene.meshRange.first; i <= lastMesh; ++i) {
            const std::int32_t runFirst = RunFirst(scene.meshTable[i], kind);
            std::int32_t start = 1;
            for (std::int32_t j = scene.meshRange.first; j <= lastMesh; ++j) {
                if (RunFirst(scene.meshTable[j], kind) < runFirst) {
                    start = std::max(start, RunLast(scene.meshTable[j], kind) + 1);
                }
            }
            if (std::int64_t(runFirst) - 1 - start + 1 >= length) return start;
        }
    }
    std::int32_t start = 1;
    for (std::int32_t j = scene.meshRange.first; j <= lastMesh; ++j) {
        start = std::max(start, RunLast(scene.meshTable[j], kind) + 1);
    }
    return std::int64_t(start) + length - 1 <= kLastSlot ? start : 0;
}

std::int32_t NextMeshSlot(const Scene& scene) {
    const std::int32_t candidate = scene.meshRange.first + scene.meshRange.count;
    return candidate <= kLastSlot ? candidate : 0;
}

// A placeholder corner (0, "no vertex") stays 0 when a run moves.
std::int32_t ShiftCorner(std::int32_t corner, std::int32_t delta) { return corner == 0 ? 0 : corner + delta; }

void CopyFaceShifted(const Face& source, std::int32_t vertexDelta, Face& destination) {
    destination = source;
    destination.corner0 = ShiftCorner(source.corner0, vertexDelta);
    destination.corner1 = ShiftCorner(source.corner1, vertexDelta);
    destination.corner2 = ShiftCorner(source.corner2, vertexDelta);
}

// Copies the runs of mesh source to the runs starting vertexDelta / faceDelta slots later.
void CopyRuns(Scene& scene, const Mesh& source, std::int32_t vertexDelta, std::int32_t faceDelta) {
    for (std::int32_t v = source.firstVertex; v <= LastVertex(source); ++v) {
        scene.vertexPool[v + vertexDelta] = scene.vertexPool[v];
    }
    for (std::int32_t f = source.firstFace; f <= LastFace(source); ++f) {
        CopyFaceShifted(scene.facePool[f], vertexDelta, scene.facePool[f + faceDelta]);
    }
}

}  // namespace

void SetMeshName(Mesh& mesh, const char* text) {
    std::memset(mesh.name, 0, sizeof mesh.name);
    if (text) std::strncpy(mesh.name, text, kMeshNameBytes - 1);
}

Truth VertexInMesh(const Scene& scene, std::int32_t vertex, std::int32_t mesh) {
    const Mesh& m = scene.meshTable[mesh];
    return ToTruth(m.firstVertex <= vertex && vertex <= LastVertex(m));
}

Truth FaceInMesh(const Scene& scene, std::int32_t face, std::int32_t mesh) {
    const Mesh& m = scene.meshTable[mesh];
    return ToTruth(m.firstFace <= face && face <= LastFace(m));
}

Truth FaceUsesVertex(const Scene& scene, std::int32_t vertex, std::int32_t face) {
    const Face& f = scene.facePool[face];
    return ToTruth(f.corner0 == vertex || f.corner1 == vertex || f.corner2 == vertex);
}

std::int32_t AllocateMesh(Scene& scene, std::int32_t vertexCount, std::int32_t faceCount) {
    const std::int32_t slot = NextMeshSlot(scene);
    const std::int32_t firstVertex = FindRun(scene, vertexCount, RunKind::Vertex);
    const std::int32_t firstFace = FindRun(scene, faceCount, RunKind::Face);
    if (slot == 0 || firstVertex == 0 || firstFace == 0) {
        ReportError(scene.reporter, kErrorMeshMemory);
        return 0;
    }
    Mesh& mesh = scene.meshTable[slot];
    mesh.firstVertex = firstVertex;
    mesh.vertexCount = vertexCount;
    mesh.firstFace = firstFace;
    mesh.faceCount = faceCount;
    VecOnes(mesh.scale);
    mesh.matrixDirty = kTrue;
    mesh.visible = kTrue;
    ++scene.meshRange.count;
    return slot;
}

void DeleteMesh(Scene& scene, std::int32_t mesh) {
    const std::int32_t last = LastIndex(scene.meshRange);
    for (std::int32_t i = scene.meshRange.first; i <= last; ++i) {
        Mesh& other = scene.meshTable[i];
        if (i == mesh || other.parent == 0) continue;
        if (other.parent == mesh) other.parent = 0;
        if (other.parent > mesh) --other.parent;
    }
    for (std::int32_t k = mesh; k < last; ++k) scene.meshTable[k] = scene.meshTable[k + 1];
    scene.meshTable[last] = Mesh{};
    --scene.meshRange.count;
}

std::int32_t DuplicateMesh(Scene& scene, std::int32_t mesh) {
    const std::int32_t copy =
        AllocateMesh(scene, scene.meshTable[mesh].vertexCount, scene.meshTable[mesh].faceCount);
    if (copy == 0) return 0;
    const Mesh& source = scene.meshTable[mesh];
    const std::int32_t vertexDelta = scene.meshTable[copy].firstVertex - source.firstVertex;
    const std::int32_t faceDelta = scene.meshTable[copy].firstFace - source.firstFace;
    CopyRuns(scene, source, vertexDelta, faceDelta);
    scene.meshTable[copy] = source;
    scene.meshTable[copy].firstVertex = source.firstVertex + vertexDelta;
    scene.meshTable[copy].firstFace = source.firstFace + faceDelta;
    return copy;
}

std::int32_t RepackMesh(Scene& scene, std::int32_t mesh) {
    const std::int32_t copy = DuplicateMesh(scene, mesh);
    if (copy == 0) return 0;
    DeleteMesh(scene, mesh);
    return copy - 1;
}

std::int32_t RelocateMeshToEnd(Scene& scene, std::int32_t mesh) {
    const std::int32_t moved = AllocateMesh(scene, 0, 0);
    if (moved == 0) return 0;
    const Mesh source = scene.meshTable[mesh];
    const std::int32_t vertexDelta = scene.meshTable[moved].firstVertex - source.firstVertex;
    const std::int32_t faceDelta = scene.meshTable[moved].firstFace - source.firstFace;
    // Check for room before copying, so a failure leaves the mesh and the scene as they were.
    if (std::int64_t(LastVertex(source)) + vertexDelta > kLastSlot ||
        std::int64_t(LastFace(source)) + faceDelta > kLastSlot) {
        ReportError(scene.reporter, kErrorMeshMemory);
        DeleteMesh(scene, moved);
        return 0;
    }
    CopyRuns(scene, source, vertexDelta, faceDelta);
    scene.meshTable[moved] = source;
    scene.meshTable[moved].firstVertex = source.firstVertex + vertexDelta;
    scene.meshTable[moved].firstFace = source.firstFace + faceDelta;
    DeleteMesh(scene, mesh);
    return moved - 1;
}

std::int32_t MergeMeshes(Scene& scene, std::int32_t a, std::int32_t b) {
    const Mesh later = scene.meshTable[a];
    const Mesh earlier = scene.meshTable[b];
    const std::int32_t merged = AllocateMesh(scene, later.vertexCount + earlier.vertexCount,
                                             later.faceCount + earlier.faceCount);
    if (merged == 0) return 0;
    const Mesh& target = scene.meshTable[merged];
    // a's runs go first, b's follow them.
    CopyRuns(scene, later, target.firstVertex - later.firstVertex, target.firstFace - later.firstFace);
    CopyRuns(scene, earlier, target.firstVertex + later.vertexCount - earlier.firstVertex,
             target.firstFace + later.faceCount - earlier.firstFace);
    DeleteMesh(scene, a);
    DeleteMesh(scene, b);
    return merged - 2;
}

void DeleteFace(Scene& scene, std::int32_t face) {
    const std::int32_t lastMesh = LastIndex(scene.meshRange);
    for (std::int32_t i = scene.meshRange.first; i <= lastMesh; ++i) {
        Mesh& mesh = scene.meshTable[i];
        if (!FaceInMesh(scene, face, i)) continue;
        const std::int32_t lastFace = LastFace(mesh);
        for (std::int32_t f = face; f < lastFace; ++f) scene.facePool[f] = scene.facePool[f + 1];
        scene.facePool[lastFace] = Face{};
        --mesh.faceCount;
    }
}

void DeleteVertex(Scene& scene, std::int32_t vertex, std::int32_t replacement) {
    const std::int32_t lastMesh = LastIndex(scene.meshRange);
    for (std::int32_t i = scene.meshRange.first; i <= lastMesh; ++i) {
        if (!VertexInMesh(scene, vertex, i)) continue;
        Mesh& mesh = scene.meshTable[i];
        const std::int32_t lastVertex = LastVertex(mesh);
        for (std::int32_t v = vertex; v < lastVertex; ++v) scene.vertexPool[v] = scene.vertexPool[v + 1];
        scene.vertexPool[lastVertex] = Vector3{};
        --mesh.vertexCount;
        for (std::int32_t f = LastFace(mesh); f >= mesh.firstFace; --f) {
            if (FaceUsesVertex(scene, vertex, f)) {
                if (replacement == 0) {
                    DeleteFace(scene, f);
                    continue;
                }
                Face& face = scene.facePool[f];
                for (std::int32_t* corner : {&face.corner0, &face.corner1, &face.corner2}) {
                    if (*corner == vertex) *corner = replacement;
                }
            }
            Face& face = scene.facePool[f];
            for (std::int32_t* corner : {&face.corner0, &face.corner1, &face.corner2}) {
                if (*corner > vertex) --*corner;
            }
        }
    }
}

namespace {

enum class Corner { Max, Min };

void MeshCorner(const Scene& scene, std::int32_t mesh, Corner corner, Vector3& out) {
    const Mesh& m = scene.meshTable[mesh];
    if (m.vertexCount <= 0) {  // an empty mesh has no box; its run may start past the last slot
        out = Vector3{};
        return;
    }
    auto pick = [corner](float a, float b) { return corner == Corner::Max ? std::max(a, b) : std::min(a, b); };
    out = scene.vertexPool[m.firstVertex];
    for (std::int32_t v = m.firstVertex; v <= LastVertex(m); ++v) {
        const Vector3& p = scene.vertexPool[v];
        out = {pick(out.x, p.x), pick(out.y, p.y), pick(out.z, p.z)};
    }
}

}  // namespace

void MeshMaxCorner(const Scene& scene, std::int32_t mesh, Vector3& out) { MeshCorner(scene, mesh, Corner::Max, out); }

void MeshMinCorner(const Scene& scene, std::int32_t mesh, Vector3& out) { MeshCorner(scene, mesh, Corner::Min, out); }

void MeshCentre(const Scene& scene, std::int32_t mesh, Vector3& out) {
    Vector3 high, low;
    MeshMaxCorner(scene, mesh, high);
    MeshMinCorner(scene, mesh, low);
    VecAdd(high, low, out);
    VecScale(out, 0.5f, out);
}

void TransformMesh(Scene& scene, std::int32_t mesh, const Matrix4& m) {
    const Mesh& target = scene.meshTable[mesh];
    for (std::int32_t v = target.firstVertex; v <= LastVertex(target); ++v) {
        TransformPoint(scene.vertexPool[v], m, scene.vertexPool[v]);
    }
}

void CentreMesh(Scene& scene, std::int32_t mesh) {
    Vector3 centre;
    MeshCentre(scene, mesh, centre);
    VecScale(centre, -1.0f, centre);
    Matrix4 shift;
    MatTranslation(centre, shift);
    TransformMesh(scene, mesh, shift);
}

void SetMeshColor(Scene& scene, std::int32_t mesh, const ColorRGB& color, float shine) {
    const Mesh& target = scene.meshTable[mesh];
    for (std::int32_t f = target.firstFace; f <= LastFace(target); ++f) {
        scene.facePool[f].color = color;
        scene.facePool[f].shine = shine;
    }
}

}  // namespace vantrel
