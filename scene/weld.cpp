#include <algorithm>
#include <cmath>
#include <vector>

#include "scene/mesh_store.h"

// WeldMesh gives exactly the result of five passes over the mesh, each walking from the
// highest slot down and deleting one vertex or face at a time (see the reference in the
// tests), but computes it in one sweep per pass instead of shifting the pools per deletion:
//  1. weld: from the top slot down, the first vertex in slot order closer than 0.0001 to the
//     visited one is deleted and its faces use the visited vertex;
//  2. vertices no face uses are deleted;
//  3-5. faces with a corner outside the mesh, degenerate faces and faces with a 0 corner go.
namespace vantrel {

namespace {

// The 32-bit float nearest 0.0001: vertices closer than this are one vertex.
constexpr float kWeldDistance = 0.0001f;
// An axis difference above this already puts a pair beyond kWeldDistance, with margin for rounding.
constexpr float kWeldPrefilter = 0.00011f;
// Grid cells twice the weld distance: a welding pair always lies in neighbouring cells.
constexpr double kCellsPerUnit = 5000.0;
constexpr double kCellLimit = 1e15;  // beyond this, far-out vertices share the edge cells

bool CloseEnough(const Vector3& a, const Vector3& b) {
    if (std::fabs(a.x - b.x) > kWeldPrefilter || std::fabs(a.y - b.y) > kWeldPrefilter ||
        std::fabs(a.z - b.z) > kWeldPrefilter) {
        return false;
    }
    return VecDistance(a, b) < kWeldDistance;
}

bool IsFinite(const Vector3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

struct Cell {
    std::int64_t x, y, z;
    auto operator<=>(const Cell&) const = default;
};

std::int64_t CellCoordinate(float value) {
    return std::int64_t(std::clamp(std::floor(double(value) * kCellsPerUnit), -kCellLimit, kCellLimit));
}

// Counts of live vertices by original position, with "k-th live vertex" in log time.
struct LiveIndex {
    std::vector<std::int32_t> tree;
    std::int32_t size = 0, topBit = 1;

    explicit LiveIndex(std::int32_t n) : tree(n + 1, 0), size(n) {
        while (topBit * 2 <= n) topBit *= 2;
        for (std::int32_t i = 1; i <= n; ++i) Add(i - 1, 1);
    }
    void Add(std::int32_t position, std::int32_t delta) {
        for (std::int32_t i = position + 1; i <= size; i += i & -i) tree[i] += delta;
    }
    // Original position of the live vertex with rank k (0-based).
    std::int32_t Find(std::int32_t k) const {
        std::int32_t position = 0;
        for (std::int32_t bit = topBit; bit > 0; bit /= 2) {
            if (position + bit <= size && tree[position + bit] <= k) {
                position += bit;
                k -= tree[position];
            }
        }
        return position;
    }
};

// Pass 1 on original positions: which vertices survive and which vertex each deleted one became.
void FindWelds(const Vector3* vertices, std::int32_t n, std::vector<char>& live, std::vector<std::int32_t>& into) {
    struct Entry {
        Cell cell;
        std::int32_t position;
    };
    std::vector<Entry> entries;
    entries.reserve(n);
    for (std::int32_t k = 0; k < n; ++k) {
        const Vector3& v = vertices[k];
        // Non-finite vertices are never within any distance of another one.
        if (IsFinite(v)) entries.push_back({{CellCoordinate(v.x), CellCoordinate(v.y), CellCoordinate(v.z)}, k});
    }
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        return a.cell != b.cell ? a.cell < b.cell : a.position < b.position;
    });
    // For the first entry of each cell: where its live entries may begin (dead ones are skipped once).
    std::vector<std::int32_t> frontOfCell(entries.size());
    for (std::size_t e = 0; e < entries.size(); ++e) frontOfCell[e] = std::int32_t(e);

    LiveIndex index(n);
    for (std::int32_t rank = n - 1; rank >= 0; --rank) {
        const std::int32_t visited = index.Find(rank);
        const Vector3& v = vertices[visited];
        if (!IsFinite(v)) continue;
        const Cell home{CellCoordinate(v.x), CellCoordinate(v.y), CellCoordinate(v.z)};
        std::int32_t match = n;  // the lowest original position that welds, n for none
        for (std::int64_t dx = -1; dx <= 1; ++dx) {
            for (std::int64_t dy = -1; dy <= 1; ++dy) {
                for (std::int64_t dz = -1; dz <= 1; ++dz) {
                    const Cell cell{home.x + dx, home.y + dy, home.z + dz};
                    auto found = std::lower_bound(entries.begin(), entries.end(), cell,
                                                  [](const Entry& e, const Cell& c) { return e.cell < c; });
                    if (found == entries.end() || found->cell != cell) continue;
                    const std::size_t group = std::size_t(found - entries.begin());
                    std::size_t e = std::size_t(frontOfCell[group]);
                    while (e < entries.size() && entries[e].cell == cell && !live[entries[e].position]) ++e;
                    frontOfCell[group] = std::int32_t(e);
                    for (; e < entries.size() && entries[e].cell == cell && entries[e].position < match; ++e) {
                        const std::int32_t other = entries[e].position;
                        if (other != visited && live[other] && CloseEnough(vertices[other], v)) match = other;
                    }
                }
            }
        }
        if (match < n) {
            live[match] = 0;
            into[match] = visited;
            // When the deleted vertex lay below, the visited one slides to rank - 1 and is visited again.
            index.Add(match, -1);
        }
    }
}

std::int32_t Resolve(std::vector<std::int32_t>& into, const std::vector<char>& live, std::int32_t position) {
    std::int32_t root = position;
    while (!live[root]) root = into[root];
    while (!live[position]) {  // shorten the chain for later corners
        const std::int32_t next = into[position];
        into[position] = root;
        position = next;
    }
    return root;
}

// Keeps the live vertices in order, clears the vacated slots and renumbers the mesh's faces:
// corners inside the run follow their (welded) vertex, corners above the run move down by
// the number of deleted vertices, corners below it stay.
void CompactVertices(Scene& scene, std::int32_t mesh, std::vector<char>& live, std::vector<std::int32_t>& into) {
    Mesh& m = scene.meshTable[mesh];
    const std::int32_t n = m.vertexCount, first = m.firstVertex, last = LastVertex(m);
    std::vector<std::int32_t> newSlot(n);
    std::int32_t kept = 0;
    for (std::int32_t k = 0; k < n; ++k) {
        if (!live[k]) continue;
        newSlot[k] = first + kept;
        scene.vertexPool[first + kept] = scene.vertexPool[first + k];
        ++kept;
    }
    const std::int32_t deleted = n - kept;
    if (deleted == 0) return;
    for (std::int32_t v = first + kept; v <= last; ++v) scene.vertexPool[v] = Vector3{};
    for (std::int32_t f = m.firstFace; f <= LastFace(m); ++f) {
        Face& face = scene.facePool[f];
        for (std::int32_t* corner : {&face.corner0, &face.corner1, &face.corner2}) {
            if (*corner >= first && *corner <= last) {
                *corner = newSlot[Resolve(into, live, *corner - first)];
            } else if (*corner > last) {
                *corner -= deleted;
            }
        }
    }
    m.vertexCount = kept;
}

void WeldCoincidentVertices(Scene& scene, std::int32_t mesh) {
    const Mesh& m = scene.meshTable[mesh];
    if (m.vertexCount <= 1) return;
    std::vector<char> live(m.vertexCount, 1);
    std::vector<std::int32_t> into(m.vertexCount, 0);
    FindWelds(&scene.vertexPool[m.firstVertex], m.vertexCount, live, into);
    CompactVertices(scene, mesh, live, into);
}

void DropUnusedVertices(Scene& scene, std::int32_t mesh) {
    const Mesh& m = scene.meshTable[mesh];
    if (m.vertexCount <= 0) return;
    std::vector<char> used(m.vertexCount, 0);
    for (std::int32_t f = m.firstFace; f <= LastFace(m); ++f) {
        const Face& face = scene.facePool[f];
        for (std::int32_t corner : {face.corner0, face.corner1, face.corner2}) {
            if (corner >= m.firstVertex && corner <= LastVertex(m)) used[corner - m.firstVertex] = 1;
        }
    }
    // Only unused vertices are dropped, so no corner ever asks where a dropped one went.
    std::vector<std::int32_t> itself(m.vertexCount);
    for (std::int32_t k = 0; k < m.vertexCount; ++k) itself[k] = k;
    CompactVertices(scene, mesh, used, itself);
}

bool IsBroken(const Scene& scene, std::int32_t mesh, const Face& face) {
    const bool outside = !VertexInMesh(scene, face.corner0, mesh) || !VertexInMesh(scene, face.corner1, mesh) ||
                         !VertexInMesh(scene, face.corner2, mesh);
    const bool degenerate =
        face.corner1 == face.corner0 || face.corner2 == face.corner1 || face.corner0 == face.corner2;
    const bool missing = face.corner0 == 0 || face.corner1 == 0 || face.corner2 == 0;
    return outside || degenerate || missing;
}

// Deleting faces never changes another face, so the three face passes are one stable filter.
void DropBrokenFaces(Scene& scene, std::int32_t mesh) {
    Mesh& m = scene.meshTable[mesh];
    const std::int32_t last = LastFace(m);
    std::int32_t kept = m.firstFace;
    for (std::int32_t f = m.firstFace; f <= last; ++f) {
        if (!IsBroken(scene, mesh, scene.facePool[f])) scene.facePool[kept++] = scene.facePool[f];
    }
    for (std::int32_t f = kept; f <= last; ++f) scene.facePool[f] = Face{};
    m.faceCount = kept - m.firstFace;
}

}  // namespace

void WeldMesh(Scene& scene, std::int32_t mesh) {
    WeldCoincidentVertices(scene, mesh);
    DropUnusedVertices(scene, mesh);
    DropBrokenFaces(scene, mesh);
}

}  // namespace vantrel
