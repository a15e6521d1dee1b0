#pragma once
// The scenes the frame benchmarks share: the torus split three times at its faces' centroids
// (6,912 faces) and the sphere tessellated by edge twice (3,584 faces).
#include "geometry/random.h"
#include "objects/command_ids.h"
#include "objects/object_commands.h"
#include "scene/mesh_store.h"

namespace vantrel {

// The mesh split passes times at every face's centroid into three faces, as Tessellate By Face
// does, built as a new mesh in place of the old one. The Edit command cannot reach 6,912 faces:
// moving and repacking the grown mesh needs room for two copies of it in the pools.
inline std::int32_t SplitAtCentroids(Scene& scene, std::int32_t source, std::int32_t passes) {
    const Mesh original = scene.meshTable[source];
    std::int32_t faces = original.faceCount, vertices = original.vertexCount;
    for (std::int32_t pass = 0; pass < passes; ++pass) {
        vertices += faces;
        faces *= 3;
    }
    const std::int32_t mesh = AllocateMesh(scene, vertices, faces);
    if (mesh == 0) return source;
    Mesh& grown = scene.meshTable[mesh];
    const std::int32_t vertexShift = grown.firstVertex - original.firstVertex;
    for (std::int32_t v = 0; v < original.vertexCount; ++v)
        scene.vertexPool[grown.firstVertex + v] = scene.vertexPool[original.firstVertex + v];
    for (std::int32_t f = 0; f < original.faceCount; ++f) {
        Face face = scene.facePool[original.firstFace + f];
        face.corner0 += vertexShift;
        face.corner1 += vertexShift;
        face.corner2 += vertexShift;
        scene.facePool[grown.firstFace + f] = face;
    }
    std::int32_t vertexCount = original.vertexCount, faceCount = original.faceCount;
    for (std::int32_t pass = 0; pass < passes; ++pass) {
        const std::int32_t lastFace = grown.firstFace + faceCount - 1;
        for (std::int32_t f = grown.firstFace; f <= lastFace; ++f) {
            Face& face = scene.facePool[f];
            const Vector3& a = scene.vertexPool[face.corner0];
            const Vector3& b = scene.vertexPool[face.corner1];
            const Vector3& c = scene.vertexPool[face.corner2];
            const std::int32_t g = grown.firstVertex + vertexCount++;
            scene.vertexPool[g] = {(a.x + b.x + c.x) / 3.0f, (a.y + b.y + c.y) / 3.0f, (a.z + b.z + c.z) / 3.0f};
            scene.facePool[grown.firstFace + faceCount++] = {face.corner1, face.corner2, g, face.color, face.shine};
            scene.facePool[grown.firstFace + faceCount++] = {face.corner2, face.corner0, g, face.color, face.shine};
            face.corner2 = g;
        }
    }
    DeleteMesh(scene, source);
    return mesh - 1;
}

// Adds the 6,912-face torus with random face colours (fixed seed) to the scene.
inline void AddSplitTorus(Scene& scene) {
    Random random;
    RandomSeed(random, 43200.0);
    RunObjectCommand(scene, random, kCommandTorus);
    scene.currentMesh = SplitAtCentroids(scene, scene.currentMesh, 3);
    RunEditCommand(scene, random, kCommandColorRandom);
}

// Adds the sphere and tessellates it by edge twice: 3,584 faces.
inline void AddTessellatedSphere(Scene& scene) {
    Random random;
    RandomSeed(random, 43200.0);
    RunObjectCommand(scene, random, kCommandSphere);
    RunEditCommand(scene, random, kCommandTessellateByEdge);
    RunEditCommand(scene, random, kCommandTessellateByEdge);
}

}  // namespace vantrel
