#pragma once
// Per-face world-space geometry from the world vertices of the current frame.
#include <cstdint>

#include "render/render_work.h"
#include "scene/scene.h"

namespace vantrel {

// The three corner slots of a face; a corner outside the pool reads as slot 0.
void FaceCorners(const Scene& scene, std::int32_t face, std::int32_t (&corners)[3]);

// The mean of the three corners in world space.
void FaceCentroid(const Scene& scene, const RenderWork& work, std::int32_t face, Vector3& out);

// (c1 - c0) x (c2 - c0) in world space, not normalised: its length is twice the face area,
// and for the generated solids it points out of the solid.
void FaceNormal(const Scene& scene, const RenderWork& work, std::int32_t face, Vector3& out);

}  // namespace vantrel
