#include "objects/scatter.h"

#include <cstring>
#include <initializer_list>

#include "scene/mesh_store.h"

namespace vantrel {

namespace {

// Black with shine 0 until the caller colours it.
std::int32_t MakeMarker(Scene& scene, std::initializer_list<Vector3> points) {
    const std::int32_t mesh = AllocateMesh(scene, static_cast<std::int32_t>(points.size()), 1);
    if (mesh == 0) return 0;
    const Mesh& target = scene.meshTable[mesh];
    std::int32_t slot = target.firstVertex;
    for (const Vector3& point : points) scene.vertexPool[slot++] = point;
    scene.facePool[target.firstFace] = Face{};
    return mesh;
}

// At most 127 bytes of text, never ending inside a multi-byte UTF-8 character.
void StoreText(Mesh& mesh, const char* text) {
    char kept[kMeshNameBytes] = {};
    if (text) {
        std::size_t length = 0;
        while (length < kMeshNameBytes && text[length] != '\0') ++length;
        if (length >= kMeshNameBytes) {
            length = kMeshNameBytes - 1;
            // Back off over continuation bytes (10xxxxxx) to the start of the cut character.
            while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) --length;
        }
        std::memcpy(kept, text, length);
    }
    SetMeshName(mesh, kept);
}

}  // namespace

std::int32_t MakePixel(Scene& scene, const Vector3& position) { return MakeMarker(scene, {position}); }

std::int32_t MakeLine(Scene& scene, const Vector3& start, const Vector3& end) {
    return MakeMarker(scene, {start, end});
}

std::int32_t MakeText(Scene& scene, const char* text, const Vector3& position) {
    const std::int32_t mesh = MakeMarker(scene, {position});
    if (mesh != 0) StoreText(scene.meshTable[mesh], text);
    return mesh;
}

std::int32_t MakeCurve(Scene& scene, const Vector3& p1, const Vector3& p2, const Vector3& p3, const Vector3& p4) {
    return MakeMarker(scene, {p1, p2, p3, p4});
}

}  // namespace vantrel
