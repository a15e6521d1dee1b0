#pragma once
// Refining a mesh's triangles. Both operations move the mesh behind every other mesh so its
// runs can grow in place; later meshes therefore shift down by one slot.
#include <cstdint>

#include "scene/scene.h"

namespace vantrel {

// Each pass splits every face at its centroid into three. No welding.
// Returns the mesh's slot afterwards. When the pools cannot hold the result, error 1 is
// reported once and 0 returned with the scene exactly as it was. A mesh without real faces
// (or passes < 1) is returned unchanged.
std::int32_t TessellateByFace(Scene& scene, std::int32_t mesh, std::int32_t passes);
// Each pass splits every face at its edge midpoints into four; shared midpoints are welded.
// Results and failure as TessellateByFace.
std::int32_t TessellateByEdge(Scene& scene, std::int32_t mesh, std::int32_t passes);

}  // namespace vantrel
