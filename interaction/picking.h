#pragma once
// Face picking on the geometry of the last rendered frame, the hover outline drawn by inverting
// the back buffer, and painting or sampling the hovered face.
#include <cstdint>

#include "interaction/interaction_state.h"
#include "render/render_target.h"
#include "render/render_work.h"
#include "scene/scene.h"

namespace vantrel {

// True when (x, y) of the view panel lies strictly inside the face's projected triangle and the
// triangle runs clockwise on the screen: points on an edge and back faces never count.
Truth PointInFace(const Scene& scene, const RenderWork& work, std::int32_t x, std::int32_t y, std::int32_t face);

// The listed face under (x, y) with the smallest sum of corner depths (the first listed of equal
// sums), or 0. Walks the last frame's draw list once.
std::int32_t PickFace(const Scene& scene, const RenderWork& work, std::int32_t x, std::int32_t y);

// The face a hover at (x, y) picks: none between a scene change and the next frame.
std::int32_t HoverFace(const Scene& scene, const RenderWork& work, const InteractionState& state, std::int32_t x,
                       std::int32_t y);

// A move with no button: records the face under the pointer and moves the inverted outline onto
// it in the back buffer. Picks nothing between a scene change and the next frame.
InputResponse HoverAt(const Scene& scene, const RenderWork& work, RenderTarget& backBuffer, InteractionState& state,
                      std::int32_t x, std::int32_t y);

// Left button down over the view: the hovered face takes the paint colour and shine; frame flagged.
InputResponse PaintHoveredFace(Scene& scene, InteractionState& state);
// Right button down over the view: the hovered face's colour and shine become the paint ones.
InputResponse TakeHoveredFaceColor(const Scene& scene, InteractionState& state);

}  // namespace vantrel
