#include "app/pointer_input.h"

#include <cmath>
#include <numbers>

#include "app/message.h"
#include "app/panels.h"
#include "geometry/matrix.h"
#include "objects/solids.h"
#include "platform/canvas/canvas.h"
#include "scene/mesh_store.h"
#include "scene/orbit_camera.h"

namespace vantrel {
namespace {

constexpr long double kPi = std::numbers::pi_v<long double>;

bool LiveMesh(const Scene& scene, std::int32_t mesh) {
    return mesh >= scene.meshRange.first && mesh <= LastIndex(scene.meshRange) && mesh > 0 && mesh <= kLastSlot;
}

void OrbitDrag(Program& program, std::int32_t x, std::int32_t y) {
    Orbit& orbit = program.orbit;
    // Extended precision with a full-precision pi; the results are stored as floats.
    long double longitude = orbit.longitude - static_cast<long double>(orbit.rotateRate) * (x - program.pointer.lastMouseX);
    long double latitude = orbit.latitude + static_cast<long double>(orbit.rotateRate) * (y - program.pointer.lastMouseY);
    if (longitude > kPi) longitude -= 2 * kPi;
    if (longitude < -kPi) longitude += 2 * kPi;
    if (latitude > kPi / 2) latitude = kPi / 2;
    if (latitude < -kPi / 2) latitude = -kPi / 2;
    orbit.longitude = static_cast<float>(longitude);
    orbit.latitude = static_cast<float>(latitude);
}

void ZoomDrag(Program& program, std::int32_t y) {
    Orbit& orbit = program.orbit;
    long double radius = orbit.radius + static_cast<long double>(orbit.zoomRate) * (y - program.pointer.lastMouseY);
    if (radius < 0) radius = 0;
    orbit.radius = static_cast<float>(radius);
}

// A small red four-sided pyramid lying along -z, apex away from its base, built at the origin.
std::int32_t BuildLightPointer(Scene& scene) {
    const std::int32_t mesh = MakeCone(scene, 10, 20, 4);
    if (mesh == 0) return 0;
    CentreMesh(scene, mesh);
    Vector3 lift;
    VecMake(0, 20, 0, lift);
    Matrix4 m;
    MatTranslation(lift, m);
    TransformMesh(scene, mesh, m);
    MatRotation(static_cast<std::int32_t>(Axis::X), static_cast<float>(-kPi / 2), m);
    TransformMesh(scene, mesh, m);
    MatRotation(static_cast<std::int32_t>(Axis::Z), static_cast<float>(kPi / 4), m);
    TransformMesh(scene, mesh, m);
    SetMeshColor(scene, mesh, ColorRGB{255, 0, 0}, 0.5f);
    return mesh;
}

void RepaintShineStrip(Program& program) {
    DrawShinePanel(program);
    program.host->RepaintPanelNow(PanelId::Shine);
}

}  // namespace

void ViewMouseMove(Program& program, std::int32_t keyFlags, std::int32_t x, std::int32_t y) {
    Host& host = *program.host;
    if (keyFlags & kMouseLeft) {
        host.SetCursorShape(CursorShape::SizeAll);
        OrbitDrag(program, x, y);
        program.scene.frameDirty = kTrue;
    } else if (keyFlags & kMouseRight) {
        host.SetCursorShape(CursorShape::SizeNorthSouth);
        ZoomDrag(program, y);
        program.scene.frameDirty = kTrue;
    } else {
        host.SetCursorShape(CursorShape::Arrow);
    }
    program.pointer.lastMouseX = x;
    program.pointer.lastMouseY = y;
}

void ViewLeftButtonDown(Program& program, std::int32_t, std::int32_t, std::int32_t) {
    PointerState& pointer = program.pointer;
    if (pointer.hoverFace <= 0 || pointer.hoverFace > kLastSlot || pointer.lightPointer != 0) return;
    Face& face = program.scene.facePool[pointer.hoverFace];
    ColorFromColorRef(pointer.paintColor, face.color);
    face.shine = pointer.paintShine;
    program.scene.frameDirty = kTrue;
}

void ViewRightButtonDown(Program& program, std::int32_t, std::int32_t, std::int32_t) {
    PointerState& pointer = program.pointer;
    if (pointer.hoverFace <= 0 || pointer.hoverFace > kLastSlot || pointer.lightPointer != 0) return;
    const Face& face = program.scene.facePool[pointer.hoverFace];
    pointer.paintColor = ColorToColorRef(face.color);
    pointer.paintShine = face.shine;
    RepaintShineStrip(program);
}

void PaletteMouse(Program& program, std::int32_t keyFlags, std::int32_t x, std::int32_t y) {
    program.host->SetCursorShape(CursorShape::Cross);
    if (!(keyFlags & kMouseLeft)) return;
    // The colour as shown: the strip's own pixels.
    const ColorRef color = GetPixel(program.paletteTarget.dc, x, y);
    if (color != CLR_INVALID) program.pointer.paintColor = color;
    RepaintShineStrip(program);
}

void ShineMouse(Program& program, std::int32_t keyFlags, std::int32_t x, std::int32_t) {
    program.host->SetCursorShape(CursorShape::SizeWestEast);
    if (!(keyFlags & kMouseLeft)) return;
    const PanelRect rect = program.host->PanelClientRect(PanelId::Shine);
    const float half = static_cast<float>(RectWidth(rect)) / 2;
    if (half <= 0) return;  // no strip to measure against
    const float shine = std::fabs(static_cast<float>(x) - half) / half;
    program.pointer.paintShine = shine > 1 ? 1 : shine;
    RepaintShineStrip(program);
}

void EnterLightPlacement(Program& program) {
    program.pointer.lightPlacement = kTrue;
    // Auto-repeat calls again: the pointer is built once, or retried if building failed.
    if (program.pointer.lightPointer == 0) program.pointer.lightPointer = BuildLightPointer(program.scene);
}

void LeaveLightPlacement(Program& program) {
    program.pointer.lightPlacement = kFalse;
    if (program.pointer.lightPointer != 0) {
        DeleteMesh(program.scene, program.pointer.lightPointer);
        program.pointer.lightPointer = 0;
    }
    program.scene.frameDirty = kTrue;
}

void PlaceViewpoint(Program& program) {
    Scene& scene = program.scene;
    const Orbit& orbit = program.orbit;
    const std::int32_t camera = scene.currentCamera;
    const std::int32_t light = scene.currentLight;
    const bool haveLight = light > 0 && light <= kLastSlot;
    const Vector3 origin;
    if (program.pointer.lightPlacement == kFalse) {
        OrbitCamera(scene, camera, origin, orbit.radius, orbit.longitude, orbit.latitude);
        // The light shines from the viewer.
        if (haveLight && camera > 0 && camera <= kLastSlot) scene.lightTable[light].position = scene.cameraTable[camera].eye;
        return;
    }
    Vector3 position;
    OrbitPoint(origin, orbit.radius, orbit.longitude, orbit.latitude, position);
    if (haveLight) scene.lightTable[light].position = position;
    const std::int32_t pointer = program.pointer.lightPointer;
    if (pointer != 0 && LiveMesh(scene, pointer)) {
        Mesh& mesh = scene.meshTable[pointer];
        mesh.position = position;
        mesh.rotation.y = orbit.latitude;
        mesh.rotation.z = -orbit.longitude;
        mesh.matrixDirty = kTrue;
    }
}

}  // namespace vantrel
