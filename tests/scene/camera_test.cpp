#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>

#include "scene/camera.h"
#include "scene/mesh_store.h"
#include "scene/orbit_camera.h"

namespace vantrel {
namespace {

constexpr float kPi = std::numbers::pi_v<float>;

struct Messages {
    int count = 0;
    const char* last = "";
};

void Record(void* context, const char*, const char* text) {
    auto* messages = static_cast<Messages*>(context);
    ++messages->count;
    messages->last = text;
}

class Cameras : public ::testing::Test {
protected:
    void SetUp() override {
        scene.reporter = {Record, &messages};
        BuildDefaultScene(scene, orbit);
    }
    Scene scene;
    Orbit orbit;
    Messages messages;
};

TEST_F(Cameras, FreshProgramHasTheDefaultCameraLightAndOrbit) {
    ASSERT_EQ(scene.currentCamera, 1);
    ASSERT_EQ(scene.currentLight, 1);
    EXPECT_EQ(scene.cameraRange.count, 1);
    EXPECT_EQ(scene.lightRange.count, 1);
    EXPECT_EQ(scene.meshRange.first, 1);
    EXPECT_EQ(scene.frameDirty, kTrue);

    const Camera& camera = scene.cameraTable[1];
    EXPECT_EQ(camera.renderMode, 2);
    EXPECT_EQ(camera.orthographic, 0);
    EXPECT_EQ(camera.orthoScale, 1.0f);
    EXPECT_NEAR(camera.tanHalfFov, 0.57735f, 1e-5);
    EXPECT_EQ(camera.nearClip, 1.0f);
    EXPECT_EQ(camera.farClip, 1600.0f);
    EXPECT_EQ(camera.atmosphereNear, 1.0f);
    EXPECT_EQ(camera.atmosphereFar, 1600.0f);
    EXPECT_NE(camera.matrixDirty, 0);
    EXPECT_EQ(camera.doubleSided | camera.metallic | camera.atmosphere | camera.colorCorrect, 0);

    const Light& light = scene.lightTable[1];
    EXPECT_EQ(light.color, (ColorRGB{255, 255, 255}));
    EXPECT_NE(light.enabled, 0);
    EXPECT_LE(light.spotOuter, 0.0f);
    EXPECT_EQ(light.attenuationNear, 1.0f);
    EXPECT_EQ(light.attenuationFar, 1600.0f);
    EXPECT_EQ(VecEqual(light.position, {0, 0, 0}), kTrue);

    EXPECT_EQ(orbit.longitude, 0.0f);
    EXPECT_EQ(orbit.latitude, 0.0f);
    EXPECT_EQ(orbit.radius, 200.0f);
    EXPECT_EQ(orbit.rotateRate, 0.01f);
    EXPECT_EQ(orbit.zoomRate, 1.0f);
    EXPECT_EQ(messages.count, 0);
}

TEST_F(Cameras, FullTablesReportTheirOwnMessageAndChangeNothing) {
    scene.cameraRange.count = kLastSlot;
    scene.lightRange.count = kLastSlot;
    EXPECT_EQ(CreateCamera(scene), 0);
    EXPECT_STREQ(messages.last, "Unable to allocate memory for camera!");
    EXPECT_EQ(CreateLight(scene), 0);
    EXPECT_STREQ(messages.last, "Unable to allocate memory for light!");
    EXPECT_EQ(messages.count, 2);
    EXPECT_EQ(scene.cameraRange.count, kLastSlot);
    EXPECT_EQ(scene.lightRange.count, kLastSlot);
}

TEST_F(Cameras, ClearSceneKeepsOnlyWhatItIsToldAndTheCurrentSlotsFollow) {
    for (int i = 0; i < 3; ++i) ASSERT_NE(AllocateMesh(scene, 4, 4), 0);
    scene.currentMesh = 3;
    ClearScene(scene, 0, 1, 1);
    EXPECT_EQ(scene.meshRange.count, 0);
    EXPECT_EQ(scene.currentMesh, 0);
    EXPECT_EQ(scene.cameraRange.count, 1);
    EXPECT_EQ(scene.cameraTable[1].renderMode, 2);
    EXPECT_EQ(scene.lightRange.count, 1);

    for (int i = 0; i < 3; ++i) ASSERT_NE(AllocateMesh(scene, 4, 4), 0);
    std::strcpy(scene.meshTable[2].name, "kept");
    scene.currentMesh = 2;
    ASSERT_EQ(CreateCamera(scene), 2);
    ASSERT_EQ(CreateCamera(scene), 3);
    scene.cameraTable[2].renderMode = 4;
    scene.currentCamera = 2;
    ClearScene(scene, 2, 2, 1);
    EXPECT_EQ(scene.meshRange.count, 1);
    EXPECT_STREQ(scene.meshTable[1].name, "kept");
    EXPECT_EQ(scene.currentMesh, 1);
    EXPECT_EQ(scene.cameraRange.count, 1);
    EXPECT_EQ(scene.cameraTable[1].renderMode, 4);
    EXPECT_EQ(scene.currentCamera, 1);  // follows its record down
    EXPECT_EQ(scene.cameraTable[2].nearClip, 0.0f);  // vacated slots are zero again
    DeleteCamera(scene, 7);  // outside the range: ignored
    EXPECT_EQ(scene.cameraRange.count, 1);
}

TEST_F(Cameras, OrbitPlacesTheEyeAndTheViewMatrixFollowsOnlyWhenMarked) {
    const Vector3 origin;
    OrbitCamera(scene, 1, origin, orbit.radius, orbit.longitude, orbit.latitude);
    Camera& camera = scene.cameraTable[1];
    EXPECT_EQ(VecEqual(camera.eye, {0, 0, -200}), kTrue);
    UpdateViewMatrix(scene, 1);
    Matrix4 expected;
    MatTranslation({0, 0, 200}, expected);
    EXPECT_EQ(MatEqual(camera.view, expected), kTrue);
    EXPECT_EQ(camera.matrixDirty, 0);

    // Moving the eye without marking the camera leaves the cached view alone.
    camera.eye = {1, 2, 3};
    UpdateViewMatrix(scene, 1);
    EXPECT_EQ(MatEqual(camera.view, expected), kTrue);

    camera.orientation.x = 0.5f;  // roll survives orbiting
    OrbitCamera(scene, 1, origin, 200, kPi / 2, 0);
    EXPECT_NEAR(camera.eye.x, 200, 1e-4);
    EXPECT_NEAR(camera.eye.z, 0, 1e-4);
    EXPECT_EQ(camera.orientation.x, 0.5f);
    EXPECT_EQ(camera.orientation.y, 0.0f);
    EXPECT_EQ(camera.orientation.z, -kPi / 2);
    EXPECT_NE(camera.matrixDirty, 0);
}

}  // namespace
}  // namespace vantrel
