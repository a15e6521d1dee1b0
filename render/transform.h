#pragma once
// Stages 1 and 2 of a frame: model space to world space, world space to view space.
#include <cstdint>

#include "render/render_work.h"
#include "scene/scene.h"

namespace vantrel {

// Rebuilds the stale world matrices (a child of a dirty parent is stale too) and writes
// worldVertices for every mesh in the range.
void UpdateWorldVertices(Scene& scene, RenderWork& work);

// Rebuilds the camera's stale view matrix, if any mesh exists, and writes viewVertices for
// every mesh in the range.
void UpdateViewVertices(Scene& scene, RenderWork& work, std::int32_t camera);

// The model-to-world matrix of a mesh's own scale, rotation and position, without its parent.
void MeshLocalMatrix(const Mesh& mesh, Matrix4& out);

}  // namespace vantrel
