// Reads the last frame's work arrays only through the hover; writes the orbit, the current
// camera and light, and the pointer mesh.
#include "interaction/navigation.h"

#include <cmath>
#include <numbers>

#include "geometry/matrix.h"
#include "interaction/picking.h"
#include "objects/mesh_colors.h"
#include "objects/solids.h"
#include "scene/mesh_store.h"
#include "scene/orbit_camera.h"

namespace vantrel {

namespace {

// The drag arithmetic runs in extended precision; only the results are stored as floats.
constexpr long double kPi = std::numbers::pi_v<long double>;
constexpr long double kTwoPi = 2 * kPi;
constexpr long double kHalfPi = kPi / 2;

// Back into -pi..pi however far one move jumped (a pointer re-entering the panel jumps).
long double WrapLongitude(long double longitude) {
    if (longitude > kPi) longitude -= kTwoPi * std::ceil((longitude - kPi) / kTwoPi);
    if (longitude < -kPi) longitude += kTwoPi * std::ceil((-kPi - longitude) / kTwoPi);
    return longitude;
}

void DragOrbit(Orbit& orbit, long double dx, long double dy) {
    const long double longitude = orbit.longitude - orbit.rotateRate * dx;
    long double latitude = orbit.latitude + orbit.rotateRate * dy;
    if (latitude > kHalfPi) latitude = kHalfPi;
    if (latitude < -kHalfPi) latitude = -kHalfPi;
    orbit.longitude = static_cast<float>(WrapLongitude(longitude));
    orbit.latitude = static_cast<float>(latitude);
}

void DragZoom(Orbit& orbit, long double dy) {
    // Dragging down moves away from the centre.
    const long double radius = orbit.radius + orbit.zoomRate * dy;
    orbit.radius = radius < 0 ? 0.0f : static_cast<float>(radius);
}

// A four-sided pyramid lying along -z in its own frame, base at z = -10, apex at z = -30.
std::int32_t BuildLightPointer(Scene& scene) {
    const std::int32_t pointer = MakeCone(scene, 10, 20, 4);
    if (pointer == 0) return 0;
    CentreMesh(scene, pointer);
    Matrix4 m;
    MatTranslation({0, 20, 0}, m);
    TransformMesh(scene, pointer, m);
    MatRotation(static_cast<std::int32_t>(Axis::X), static_cast<float>(-kHalfPi), m);
    TransformMesh(scene, pointer, m);
    // A quarter turn about its axis shows the pyramid's edge rather than a face from above.
    MatRotation(static_cast<std::int32_t>(Axis::Z), static_cast<float>(kPi / 4), m);
    TransformMesh(scene, pointer, m);
    SetMeshColor(scene, pointer, ColorRGB{255, 0, 0}, 0.5f);
    return pointer;
}

}  // namespace

InputResponse ViewMouseMove(Scene& scene, Orbit& orbit, InteractionState& state, const RenderWork& work,
                            RenderTarget& backBuffer, std::int32_t keys, const ViewPoint& point) {
    InputResponse response;
    const long double dx = static_cast<long double>(point.x) - state.lastMouseX;
    const long double dy = static_cast<long double>(point.y) - state.lastMouseY;
    if (keys & kMouseLeft) {
        response.cursor = CursorShape::SizeAll;
        DragOrbit(orbit, dx, dy);
        scene.frameDirty = kTrue;
    } else if (keys & kMouseRight) {
        response.cursor = CursorShape::SizeNorthSouth;
        DragZoom(orbit, dy);
        scene.frameDirty = kTrue;
    } else if (state.lightPointer == 0) {
        response = HoverAt(scene, work, backBuffer, state, point.pickX, point.pickY);
    } else {
        response.cursor = CursorShape::Arrow;
    }
    state.lastMouseX = point.x;
    state.lastMouseY = point.y;
    return response;
}

bool MoveRedrawsOutline(const Scene& scene, const InteractionState& state, const RenderWork& work, std::int32_t keys,
                        const ViewPoint& point) {
    return (keys & (kMouseLeft | kMouseRight)) == 0 && state.lightPointer == 0 &&
           HoverFace(scene, work, state, point.pickX, point.pickY) != state.highlightFace;
}

void EnterLightPlacement(Scene& scene, InteractionState& state) {
    state.lightPlacement = kTrue;
    // A full mesh store leaves the slot 0; the next auto-repeat tries again.
    if (state.lightPointer == 0) state.lightPointer = BuildLightPointer(scene);
}

void LeaveLightPlacement(Scene& scene, InteractionState& state) {
    state.lightPlacement = kFalse;
    const std::int32_t pointer = state.lightPointer;
    if (IsLiveMesh(scene, pointer)) {
        DeleteMesh(scene, pointer);
        // The last frame still lists the pointer's faces: pick nothing until the flagged frame.
        state.frameMatchesScene = kFalse;
        // An edit made while Shift was held can have moved the current mesh behind the pointer.
        if (scene.currentMesh > pointer) --scene.currentMesh;
        else if (scene.currentMesh == pointer) scene.currentMesh = 0;
    }
    state.lightPointer = 0;
    scene.frameDirty = kTrue;
}

void PlaceViewpoint(Scene& scene, const Orbit& orbit, InteractionState& state) {
    state.highlightFace = 0;
    state.frameMatchesScene = kTrue;
    const Vector3 origin;
    const bool cameraOk = scene.currentCamera > 0 && SlotInTable(scene.currentCamera);
    const bool lightOk = scene.currentLight > 0 && SlotInTable(scene.currentLight);
    if (!state.lightPlacement) {
        if (!cameraOk) return;
        OrbitCamera(scene, scene.currentCamera, origin, orbit.radius, orbit.longitude, orbit.latitude);
        // The light shines from the viewer.
        if (lightOk) scene.lightTable[scene.currentLight].position = scene.cameraTable[scene.currentCamera].eye;
        return;
    }
    Vector3 lightPosition;
    OrbitPoint(origin, orbit.radius, orbit.longitude, orbit.latitude, lightPosition);
    if (lightOk) scene.lightTable[scene.currentLight].position = lightPosition;
    if (!IsLiveMesh(scene, state.lightPointer)) return;
    Mesh& pointer = scene.meshTable[state.lightPointer];
    pointer.position = lightPosition;
    pointer.rotation.y = orbit.latitude;
    pointer.rotation.z = -orbit.longitude;
    pointer.matrixDirty = kTrue;
}

}  // namespace vantrel
