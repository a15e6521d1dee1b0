#pragma once
// Mouse navigation over the view panel and light placement with Shift: drags change the orbit,
// and each frame places the camera, or while Shift is held the light and its red pointer, on it.
#include <cstdint>

#include "geometry/orbit.h"
#include "interaction/interaction_state.h"
#include "render/render_target.h"
#include "render/render_work.h"
#include "scene/scene.h"

namespace vantrel {

// Where the pointer is over the view panel: (x, y) in its logical client pixels, (pickX, pickY)
// the back buffer's device pixel under it (the same point at pixel ratio 1).
struct ViewPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t pickX = 0;
    std::int32_t pickY = 0;
};

// A mouse move over the view panel, keys as kMouseLeft | kMouseRight. Left drag orbits (0.01
// radian a logical pixel at the default rate), right drag zooms; with no button the face under
// the pointer is outlined in the back buffer (not while the light pointer exists). A drag flags
// a frame in scene.frameDirty.
InputResponse ViewMouseMove(Scene& scene, Orbit& orbit, InteractionState& state, const RenderWork& work,
                            RenderTarget& backBuffer, std::int32_t keys, const ViewPoint& point);
// Whether ViewMouseMove with these keys at point would move the outline in the back buffer.
bool MoveRedrawsOutline(const Scene& scene, const InteractionState& state, const RenderWork& work, std::int32_t keys,
                        const ViewPoint& point);
// The same at pixel ratio 1.
inline InputResponse ViewMouseMove(Scene& scene, Orbit& orbit, InteractionState& state, const RenderWork& work,
                                   RenderTarget& backBuffer, std::int32_t keys, std::int32_t x, std::int32_t y) {
    return ViewMouseMove(scene, orbit, state, work, backBuffer, keys, ViewPoint{x, y, x, y});
}

// Shift down, and every auto-repeat of it: the orbit steers the light; builds the pointer once.
// Asks for no frame: the pointer shows with the next frame anything else requests.
void EnterLightPlacement(Scene& scene, InteractionState& state);
// Shift up: deletes the pointer and flags a frame, in which the camera jumps to the orbit.
void LeaveLightPlacement(Scene& scene, InteractionState& state);

// Each rendered frame, before drawing: the camera (with the light at its eye), or during light
// placement the light and its pointer, on the orbit around the origin. The frame about to be
// drawn wipes any hover outline and matches the scene again, so picking resumes.
void PlaceViewpoint(Scene& scene, const Orbit& orbit, InteractionState& state);

}  // namespace vantrel
