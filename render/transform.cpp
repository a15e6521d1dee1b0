// Reads the vertex pool and the mesh and camera records; writes worldVertices, viewVertices,
// the meshes' world matrices and the camera's view matrix with their dirty flags.
#include "render/transform.h"

#include "scene/orbit_camera.h"

namespace vantrel {

namespace {

bool MatIsZero(const Matrix4& m) {
    Matrix4 zero;
    MatZero(zero);
    return MatEqual(m, zero) != kFalse;
}

void PropagateDirtyParents(Scene& scene) {
    // One ascending pass: a chain only propagates through parents with lower slots.
    const std::int32_t last = LastIndex(scene.meshRange);
    for (std::int32_t m = scene.meshRange.first; m <= last; ++m) {
        Mesh& mesh = scene.meshTable[m];
        if (SlotInTable(mesh.parent) && scene.meshTable[mesh.parent].matrixDirty) mesh.matrixDirty = kTrue;
    }
}

void RebuildWorldMatrix(Scene& scene, Mesh& mesh) {
    mesh.matrixDirty = kFalse;
    Matrix4 world;
    MeshLocalMatrix(mesh, world);
    // A parent's all-zero world means "no parent"; a parent with a higher slot is still last frame's.
    if (SlotInTable(mesh.parent)) {
        const Matrix4& parentWorld = scene.meshTable[mesh.parent].world;
        if (!MatIsZero(parentWorld)) MatMultiply(world, parentWorld, mesh.world);
        else mesh.world = world;
    } else {
        mesh.world = world;
    }
}

}  // namespace

void MeshLocalMatrix(const Mesh& mesh, Matrix4& out) {
    Matrix4 step, product;
    MatScaling(mesh.scale, product);
    MatRotation(static_cast<std::int32_t>(Axis::Z), mesh.rotation.x, step);
    MatMultiply(product, step, product);
    MatRotation(static_cast<std::int32_t>(Axis::X), mesh.rotation.y, step);
    MatMultiply(product, step, product);
    MatRotation(static_cast<std::int32_t>(Axis::Y), mesh.rotation.z, step);
    MatMultiply(product, step, product);
    MatTranslation(mesh.position, step);
    MatMultiply(product, step, out);
}

void UpdateWorldVertices(Scene& scene, RenderWork& work) {
    PropagateDirtyParents(scene);
    const std::int32_t lastMesh = LastIndex(scene.meshRange);
    for (std::int32_t m = scene.meshRange.first; m <= lastMesh; ++m) {
        Mesh& mesh = scene.meshTable[m];
        if (mesh.matrixDirty) RebuildWorldMatrix(scene, mesh);
        std::int32_t first = 0, last = -1;
        MeshVertexSpan(mesh, first, last);
        for (std::int32_t v = first; v <= last; ++v)
            TransformPoint(scene.vertexPool[v], mesh.world, work.worldVertices[v]);
    }
}

void UpdateViewVertices(Scene& scene, RenderWork& work, std::int32_t camera) {
    // With no mesh the view matrix stays stale: nothing would use it.
    if (scene.meshRange.count <= 0) return;
    UpdateViewMatrix(scene, camera);
    const Matrix4& view = scene.cameraTable[camera].view;
    const std::int32_t lastMesh = LastIndex(scene.meshRange);
    for (std::int32_t m = scene.meshRange.first; m <= lastMesh; ++m) {
        std::int32_t first = 0, last = -1;
        MeshVertexSpan(scene.meshTable[m], first, last);
        for (std::int32_t v = first; v <= last; ++v)
            TransformPoint(work.worldVertices[v], view, work.viewVertices[v]);
    }
}

}  // namespace vantrel
