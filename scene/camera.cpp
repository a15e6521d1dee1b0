#include "scene/camera.h"

#include <cmath>
#include <numbers>

#include "scene/mesh_store.h"

namespace vantrel {

namespace {

std::int32_t NextSlot(const IndexRange& range) {
    const std::int32_t candidate = range.first + range.count;
    return candidate <= kLastSlot ? candidate : 0;
}

bool InRange(const IndexRange& range, std::int32_t slot) {
    return slot >= range.first && slot <= LastIndex(range) && slot >= 1;
}

// Removes one record, shifts the later ones down and keeps a held slot on its record.
template <typename Record>
void DeleteRecord(std::vector<Record>& table, IndexRange& range, std::int32_t slot, std::int32_t& held) {
    if (!InRange(range, slot)) return;
    const std::int32_t last = LastIndex(range);
    for (std::int32_t k = slot; k < last; ++k) table[k] = table[k + 1];
    table[last] = Record{};
    --range.count;
    if (held == slot) {
        held = 0;
    } else if (held > slot) {
        --held;
    }
}

}  // namespace

std::int32_t CreateCamera(Scene& scene) {
    const std::int32_t slot = NextSlot(scene.cameraRange);
    if (slot == 0) {
        ReportError(scene.reporter, kErrorCameraMemory);
        return 0;
    }
    SetFieldOfView(scene, slot, std::numbers::pi_v<float> * 60.0f / 180.0f);
    Camera& camera = scene.cameraTable[slot];
    camera.nearClip = 1;
    camera.farClip = 1600;
    camera.atmosphereNear = 1;
    camera.atmosphereFar = 1600;
    camera.matrixDirty = kTrue;
    ++scene.cameraRange.count;
    return slot;
}

std::int32_t CreateLight(Scene& scene) {
    const std::int32_t slot = NextSlot(scene.lightRange);
    if (slot == 0) {
        ReportError(scene.reporter, kErrorLightMemory);
        return 0;
    }
    Light& light = scene.lightTable[slot];
    ColorFromColorRef(0xFFFFFF, light.color);
    light.attenuationNear = 1;
    light.attenuationFar = 1600;
    light.enabled = kTrue;
    ++scene.lightRange.count;
    return slot;
}

void SetFieldOfView(Scene& scene, std::int32_t camera, float fov) {
    if (camera < 1 || camera > kLastSlot) return;
    scene.cameraTable[camera].tanHalfFov = static_cast<float>(std::tan(double(fov) / 2.0));
}

void DeleteCamera(Scene& scene, std::int32_t camera) {
    DeleteRecord(scene.cameraTable, scene.cameraRange, camera, scene.currentCamera);
}

void DeleteLight(Scene& scene, std::int32_t light) {
    DeleteRecord(scene.lightTable, scene.lightRange, light, scene.currentLight);
}

void ClearScene(Scene& scene, std::int32_t keepMesh, std::int32_t keepCamera, std::int32_t keepLight) {
    const bool keepsCurrent = keepMesh != 0 && keepMesh == scene.currentMesh;
    std::int32_t keptSlot = keepMesh;
    for (std::int32_t m = LastIndex(scene.meshRange); m >= scene.meshRange.first; --m) {
        if (m == keepMesh) continue;
        DeleteMesh(scene, m);
        if (m < keptSlot) --keptSlot;
    }
    scene.currentMesh = keepsCurrent ? keptSlot : 0;
    for (std::int32_t c = LastIndex(scene.cameraRange); c >= scene.cameraRange.first; --c) {
        if (c != keepCamera) DeleteCamera(scene, c);
    }
    for (std::int32_t l = LastIndex(scene.lightRange); l >= scene.lightRange.first; --l) {
        if (l != keepLight) DeleteLight(scene, l);
    }
}

void BuildDefaultScene(Scene& scene, Orbit& orbit) {
    scene.meshRange.first = 1;
    scene.cameraRange.first = 1;
    scene.lightRange.first = 1;
    scene.currentCamera = CreateCamera(scene);
    if (scene.currentCamera != 0) {
        scene.cameraTable[scene.currentCamera].orthoScale = 1;
        scene.cameraTable[scene.currentCamera].renderMode = kRenderModeShaded;
    }
    scene.currentLight = CreateLight(scene);
    orbit.radius = 200;
    orbit.rotateRate = 0.01f;
    orbit.zoomRate = 1;
    scene.frameDirty = kTrue;
}

}  // namespace vantrel
