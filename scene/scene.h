#pragma once
// The scene store: fixed-capacity tables of vertices, faces, meshes, cameras and lights,
// each with slots 0..10000 allocated once and never resized. Slot 0 is never handed out
// and means "none" or failure.
#include <cstdint>
#include <vector>

#include "geometry/color.h"
#include "geometry/matrix.h"
#include "geometry/vector.h"
#include "scene/errors.h"

namespace vantrel {

inline constexpr std::int32_t kLastSlot = 10000;
inline constexpr std::int32_t kTableSlots = kLastSlot + 1;  // slots 0..10000
inline constexpr std::int32_t kMeshNameBytes = 128;         // 127 characters and the terminator

// The slots in use of a table: first .. first + count - 1, without holes.
struct IndexRange {
    std::int32_t first = 1;
    std::int32_t count = 0;
};

struct Face {
    std::int32_t corner0 = 0;  // absolute vertex slots; (c1 - c0) x (c2 - c0) points out of the solid
    std::int32_t corner1 = 0;
    std::int32_t corner2 = 0;
    ColorRGB color;
    float shine = 0;  // 0..1 weight of the highlight
};

struct Mesh {
    std::int32_t firstVertex = 0;
    std::int32_t vertexCount = 0;
    std::int32_t firstFace = 0;
    std::int32_t faceCount = 0;
    Vector3 scale;
    Vector3 rotation;  // radians: x roll about Z, y pitch about X, z yaw about Y
    Vector3 position;  // world position of the object origin
    std::int32_t parent = 0;       // mesh slot, 0 for none
    std::int32_t matrixDirty = 0;  // non-zero: world must be rebuilt
    Matrix4 world;                 // object-to-world cache; all zero outside the mesh range
    std::int32_t visible = 0;
    char name[kMeshNameBytes] = {};
};

struct Camera {
    float tanHalfFov = 0;  // tan(field of view / 2)
    float nearClip = 0;
    float farClip = 0;
    float atmosphereNear = 0;  // view distance where fading begins
    float atmosphereFar = 0;   // view distance where the colour is all atmosphereColor
    Vector3 orientation;       // radians: x roll, y pitch, z yaw
    Vector3 eye;               // world space
    std::int32_t matrixDirty = 0;
    Matrix4 view;  // world-to-view cache
    std::int32_t doubleSided = 0;
    std::int32_t metallic = 0;
    std::int32_t atmosphere = 0;
    std::int32_t colorCorrect = 0;
    ColorRGB atmosphereColor;
    std::int32_t renderMode = 0;    // 0 Wireframe .. 5 Gradient
    std::int32_t orthographic = 0;  // 8 on (the menu's check flag), 0 off
    float orthoScale = 0;           // window pixels per world unit
};

struct Light {
    ColorRGB color;
    float attenuationNear = 0;
    float attenuationFar = 0;
    Vector3 direction;  // radians: (unused, pitch, yaw) of the spot axis
    Vector3 position;   // world space
    float spotInner = 0;  // cosines; spotOuter <= 0 means not a spot
    float spotOuter = 0;
    std::int32_t enabled = 0;  // non-zero: the light shines (8 from the menu, -1 when created)
};

struct Scene {
    std::vector<Vector3> vertexPool = std::vector<Vector3>(kTableSlots);  // object space
    std::vector<Face> facePool = std::vector<Face>(kTableSlots);
    std::vector<Mesh> meshTable = std::vector<Mesh>(kTableSlots);
    IndexRange meshRange;
    std::vector<Camera> cameraTable = std::vector<Camera>(kTableSlots);
    IndexRange cameraRange;
    std::vector<Light> lightTable = std::vector<Light>(kTableSlots);
    IndexRange lightRange;
    ErrorReporter reporter;

    // What the commands act on, by slot (0: none).
    std::int32_t currentMesh = 0;
    std::int32_t currentCamera = 0;
    std::int32_t currentLight = 0;
    Truth frameDirty = kFalse;  // -1: a new frame is due at the next tick
};

inline std::int32_t LastIndex(const IndexRange& range) { return range.first + range.count - 1; }
inline std::int32_t LastVertex(const Mesh& mesh) { return mesh.firstVertex + mesh.vertexCount - 1; }
inline std::int32_t LastFace(const Mesh& mesh) { return mesh.firstFace + mesh.faceCount - 1; }

// Writes text into a mesh name, cut to 127 characters.
void SetMeshName(Mesh& mesh, const char* text);

}  // namespace vantrel
