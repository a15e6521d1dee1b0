#include "scene/orbit_camera.h"

#include "geometry/orbit.h"

namespace vantrel {

namespace {
bool IsTableSlot(std::int32_t slot) { return slot >= 1 && slot <= kLastSlot; }
}  // namespace

void OrbitCamera(Scene& scene, std::int32_t camera, const Vector3& target, float radius, float longitude,
                 float latitude) {
    if (!IsTableSlot(camera)) return;
    Camera& record = scene.cameraTable[camera];
    OrbitPoint(target, radius, longitude, latitude, record.eye);
    record.orientation.y = latitude;
    record.orientation.z = -longitude;
    record.matrixDirty = kTrue;
}

void UpdateViewMatrix(Scene& scene, std::int32_t camera) {
    if (!IsTableSlot(camera)) return;
    Camera& record = scene.cameraTable[camera];
    if (record.matrixDirty == 0) return;
    record.matrixDirty = kFalse;
    MatViewFromPlacement(record.orientation, record.eye, record.view);
}

}  // namespace vantrel
