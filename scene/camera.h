#pragma once
// Camera and light records live in fixed tables like meshes: slots first .. first + count - 1,
// slot 0 meaning none. A camera carries the whole View-menu state, so the renderer needs
// nothing else to know how to draw.
#include <cstdint>

#include "geometry/orbit.h"
#include "scene/scene.h"

namespace vantrel {

inline constexpr std::int32_t kRenderModeShaded = 2;

// A new camera with a 60-degree field of view and clip distances 1 and 1600, or 0 after
// reporting error 2 when the table is full.
std::int32_t CreateCamera(Scene& scene);
// A new white, enabled light, or 0 after reporting error 3 when the table is full.
std::int32_t CreateLight(Scene& scene);
// fov in radians; stores tan(fov / 2).
void SetFieldOfView(Scene& scene, std::int32_t camera, float fov);
// Close the gap; currentCamera / currentLight keep naming the same record (0 if it went).
// A slot outside the range is ignored.
void DeleteCamera(Scene& scene, std::int32_t camera);
void DeleteLight(Scene& scene, std::int32_t light);
// Deletes every mesh, camera and light but the kept ones (0 keeps none), last first.
// currentMesh follows the kept mesh and becomes 0 when its mesh went.
void ClearScene(Scene& scene, std::int32_t keepMesh, std::int32_t keepCamera, std::int32_t keepLight);
// Start-up: camera 1 in Shaded mode with orthoScale 1, light 1, orbit radius 200, a frame due.
void BuildDefaultScene(Scene& scene, Orbit& orbit);

}  // namespace vantrel
