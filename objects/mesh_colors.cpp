#include "objects/mesh_colors.h"

#include "scene/mesh_store.h"

namespace vantrel {

namespace {

float AlongAxis(const Vector3& v, MeshAxis axis) {
    switch (axis) {
        case MeshAxis::X: return v.x;
        case MeshAxis::Y: return v.y;
        case MeshAxis::Z: return v.z;
    }
    return v.y;
}

}  // namespace

bool IsPlaceholderFace(const Face& face) { return face.corner0 == 0 && face.corner1 == 0 && face.corner2 == 0; }

bool HasRealFaces(const Scene& scene, std::int32_t mesh) {
    const Mesh& target = scene.meshTable[mesh];
    for (std::int32_t f = target.firstFace; f <= LastFace(target); ++f) {
        if (!IsPlaceholderFace(scene.facePool[f])) return true;
    }
    return false;
}

bool IsLiveMesh(const Scene& scene, std::int32_t mesh) {
    return mesh >= 1 && mesh >= scene.meshRange.first && mesh <= LastIndex(scene.meshRange);
}

void RandomizeFaceColors(Scene& scene, Random& random, std::int32_t mesh) {
    if (!IsLiveMesh(scene, mesh)) return;
    const Mesh& target = scene.meshTable[mesh];
    for (std::int32_t f = target.firstFace; f <= LastFace(target); ++f) {
        Face& face = scene.facePool[f];
        ColorRandom(random, face.color);
        face.shine = RandomUniform(random);
    }
}

void GradientFaceColors(Scene& scene, std::int32_t mesh, MeshAxis axis, const ColorRGB& low, const ColorRGB& high,
                        float shine) {
    if (!IsLiveMesh(scene, mesh)) return;
    if (axis != MeshAxis::X && axis != MeshAxis::Y && axis != MeshAxis::Z) return;
    Vector3 lowest, highest;
    MeshMinCorner(scene, mesh, lowest);
    MeshMaxCorner(scene, mesh, highest);
    const float smallest = AlongAxis(lowest, axis);
    const float extent = AlongAxis(highest, axis) - smallest;
    const Mesh& target = scene.meshTable[mesh];
    for (std::int32_t f = target.firstFace; f <= LastFace(target); ++f) {
        Face& face = scene.facePool[f];
        if (IsPlaceholderFace(face)) continue;
        face.shine = shine;
        if (extent == 0.0f) {
            face.color = low;
            continue;
        }
        const float mean = (AlongAxis(scene.vertexPool[face.corner0], axis) +
                            AlongAxis(scene.vertexPool[face.corner1], axis) +
                            AlongAxis(scene.vertexPool[face.corner2], axis)) / 3.0f;
        ColorLerp(low, high, (mean - smallest) / extent, face.color);
    }
}

}  // namespace vantrel
