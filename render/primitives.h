#pragma once
// The primitive pass: point, line, text and curve meshes, drawn over the faces.
#include "render/render_target.h"
#include "render/render_work.h"
#include "scene/scene.h"

namespace vantrel {

// For every visible one-face mesh in ascending slot order whose first vertex lies strictly
// between the near and far planes, in the colour of its face: one vertex draws the mesh name
// (trimmed of spaces) as text at the vertex, or a pixel when the name is blank; two vertices a
// line; four vertices one cubic Bezier segment. Other meshes draw nothing here.
void DrawPrimitiveMeshes(RenderTarget& target, const Scene& scene, const RenderWork& work);
// Whether the scene has a mesh DrawPrimitiveMeshes may draw: a visible one-face mesh.
bool HasPrimitiveMeshes(const Scene& scene);

}  // namespace vantrel
