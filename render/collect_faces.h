#pragma once
// Stage 4 of a frame: which faces are drawn, and in which order.
#include <cstdint>

#include "render/render_work.h"
#include "scene/scene.h"

namespace vantrel {

// Lists every face of a visible mesh that lies wholly within the depth range (and, in
// perspective, within the side planes) and faces the eye, unless the camera is double-sided;
// writes drawList with its zero terminator and depthKeys, sorted farthest first.
// Returns the number of listed faces.
std::int32_t CollectVisibleFaces(Scene& scene, RenderWork& work, std::int32_t camera);

}  // namespace vantrel
