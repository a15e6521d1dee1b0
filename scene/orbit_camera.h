#pragma once
// Places a camera record on the orbit and keeps its view matrix cache.
#include <cstdint>

#include "scene/scene.h"

namespace vantrel {

// Eye on the orbit around target, looking at it: pitch = latitude, yaw = -longitude, roll kept.
// Marks the view matrix for rebuilding. Slots outside the table are ignored.
void OrbitCamera(Scene& scene, std::int32_t camera, const Vector3& target, float radius, float longitude,
                 float latitude);
// Rebuilds view from orientation and eye when the camera is marked; otherwise does nothing.
void UpdateViewMatrix(Scene& scene, std::int32_t camera);

}  // namespace vantrel
