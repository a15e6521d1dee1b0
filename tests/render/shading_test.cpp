#include <gtest/gtest.h>

#include <memory>

#include "render/shading.h"
#include "support/error_recorder.h"

namespace vantrel {
namespace {

constexpr ColorRGB kFaceColor{200, 100, 50};
constexpr ColorRGB kBlack{0, 0, 0};
constexpr ColorRGB kWhite{255, 255, 255};

// One camera at (0, 0, -200) looking along +z, one white light at the eye, one face.
struct ShadingScene {
    std::unique_ptr<Scene> scene = std::make_unique<Scene>();
    ErrorRecorder errors;
    SettingReports reports;

    ShadingScene() {
        scene->reporter = errors.Reporter();
        scene->cameraRange = {1, 1};
        Camera& camera = scene->cameraTable[1];
        camera.nearClip = 1;
        camera.farClip = 1600;
        camera.atmosphereNear = 1;
        camera.atmosphereFar = 1600;
        camera.eye = {0, 0, -200};
        scene->lightRange = {1, 1};
        Light& light = scene->lightTable[1];
        light.color = kWhite;
        light.attenuationNear = 1;
        light.attenuationFar = 1600;
        light.position = {0, 0, -200};
        light.enabled = kTrue;
        scene->facePool[1].color = kFaceColor;
        scene->facePool[1].shine = 0.5f;
    }
    Camera& camera() { return scene->cameraTable[1]; }
    Light& light() { return scene->lightTable[1]; }

    // The face colour at the origin, facing the eye unless another normal is given.
    ColorRGB Shade(const Vector3& position = {0, 0, 0}, const Vector3& normal = {0, 0, -3}) {
        ColorRGB out;
        ShadePoint(*scene, reports, position, normal, 1, 1, out);
        return out;
    }
};

void ExpectColor(const ColorRGB& actual, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    EXPECT_EQ(actual.r, r);
    EXPECT_EQ(actual.g, g);
    EXPECT_EQ(actual.b, b);
}

TEST(ShadePoint, BlendsTheLightOverTheFaceColourByShine) {
    ShadingScene s;
    // Head-on white light: each channel c + (255 - c) / 2, and 227.5, 177.5, 152.5 go to even.
    ExpectColor(s.Shade(), 228, 178, 152);
    s.light().enabled = 8;  // the menu's "on" value
    ExpectColor(s.Shade(), 228, 178, 152);
    s.light().enabled = kFalse;
    ExpectColor(s.Shade(), 100, 50, 25);
    s.camera().colorCorrect = kTrue;
    ExpectColor(s.Shade(), 0, 0, 0);
}

TEST(ShadePoint, ShineZeroKeepsTheFaceColourWhateverTheLight) {
    ShadingScene s;
    s.scene->facePool[1].shine = 0.0f;
    ExpectColor(s.Shade(), 200, 100, 50);
    s.camera().metallic = kTrue;
    ExpectColor(s.Shade(), 200, 100, 50);
    s.light().color = {0, 0, 0};
    ExpectColor(s.Shade({0, 0, 0}, {1, 0, 0}), 200, 100, 50);
}

TEST(ShadePoint, ColorCorrectModulatesByDiffuseWithNoAmbient) {
    ShadingScene s;
    s.camera().colorCorrect = kTrue;
    ExpectColor(s.Shade(), 200, 100, 50);
    // Lit at 60 degrees: half of each channel.
    ExpectColor(s.Shade({0, 0, 0}, {0, 0.8660254f, -0.5f}), 100, 50, 25);
    // Lit from behind: black.
    ExpectColor(s.Shade({0, 0, 0}, {0, 0, 1}), 0, 0, 0);
}

TEST(ShadePoint, MetallicHeadOnAddsShineTimesTheLightColour) {
    ShadingScene s;
    s.light().color = {100, 100, 100};
    ExpectColor(s.Shade(), 150, 100, 75);  // term 100: halfway from the face colour to it
    s.camera().metallic = kTrue;
    ExpectColor(s.Shade(), 175, 125, 100);  // term 100 * (1 + 0.5 * 1) = 150
    s.camera().colorCorrect = kTrue;
    s.light().color = kWhite;
    ExpectColor(s.Shade(), 255, 228, 178);  // face colour + 127.5 rounded to 128
    // Light 45 degrees off: diffuse and highlight are both the cosine 0.7071, with no exponent.
    s.light().position = {200, 0, -200};
    ExpectColor(s.Shade(), 231, 161, 125);
}

TEST(ShadePoint, ZeroNormalGivesNeitherDiffuseNorHighlight) {
    ShadingScene s;
    s.camera().metallic = kTrue;
    ExpectColor(s.Shade({0, 0, 0}, {0, 0, 0}), 100, 50, 25);
    s.camera().colorCorrect = kTrue;
    ExpectColor(s.Shade({0, 0, 0}, {0, 0, 0}), 0, 0, 0);
}

TEST(ShadePoint, AtmosphereFadesWithDistanceFromEyeAndLight) {
    ShadingScene s;
    s.camera().atmosphere = kTrue;
    // 1600 from the eye: all atmosphere colour.
    ExpectColor(s.Shade({0, 0, 1400}), 0, 0, 0);
    ExpectColor(s.Shade({0, 0, 3000}), 0, 0, 0);
    // Within 1 of eye and light: no fading and no falloff.
    ExpectColor(s.Shade({0, 0, -199.5f}), 228, 178, 152);
    // Eye close but light 1600 away: the light adds nothing, no fading.
    s.camera().eye = {0, 0, -0.5f};
    s.light().position = {0, 0, -1600};
    ExpectColor(s.Shade({0, 0, 0}, {0, 0, -1}), 100, 50, 25);
    // Halfway along the fade the result is halfway to black.
    s.light().position = {0, 0, -200};
    s.camera().eye = {0, 0, -800.5f};
    s.scene->facePool[1].shine = 0.0f;
    ExpectColor(s.Shade(), 100, 50, 25);
    EXPECT_TRUE(s.errors.texts.empty());
}

TEST(ShadePoint, SpotLightRampsBetweenItsCones) {
    ShadingScene s;
    s.camera().colorCorrect = kTrue;
    s.light().spotInner = 0.9f;  // within about 25 degrees of the axis: full strength
    s.light().spotOuter = 0.5f;  // beyond 60 degrees: dark
    // Direction (0, 0, 0) points along +z, straight at the origin from (0, 0, -200).
    ExpectColor(s.Shade(), 200, 100, 50);
    ExpectColor(s.Shade({400, 0, 0}, {-2, 0, -1}), 0, 0, 0);
    EXPECT_TRUE(s.errors.texts.empty());
}

TEST(ShadePoint, BadSettingsAreReportedOncePerFrameAndShadeWithFlatRamps) {
    ShadingScene s;
    s.camera().atmosphere = kTrue;
    s.camera().atmosphereFar = s.camera().atmosphereNear;
    s.light().attenuationFar = s.light().attenuationNear;
    // Far from both: without the guards these ramps would divide by zero.
    ExpectColor(s.Shade({0, 0, 5000}), 228, 178, 152);
    ExpectColor(s.Shade({0, 0, 5000}), 228, 178, 152);
    ASSERT_EQ(s.errors.texts.size(), 2u);
    EXPECT_EQ(s.errors.texts[0], "Bad light settings!");
    EXPECT_EQ(s.errors.texts[1], "Bad camera settings!");
    EXPECT_EQ(s.errors.captions[0], "Error");
    // A new frame reports again.
    s.reports = {};
    s.Shade();
    EXPECT_EQ(s.errors.texts.size(), 4u);

    ShadingScene spot;
    spot.camera().colorCorrect = kTrue;
    spot.light().spotInner = spot.light().spotOuter = 0.5f;
    // The spot factor falls back to the cosine itself: 1 on the axis.
    ExpectColor(spot.Shade(), 200, 100, 50);
    ASSERT_EQ(spot.errors.texts.size(), 1u);
    EXPECT_EQ(spot.errors.texts[0], "Bad light settings!");
    // A bad cone and bad fall-off distances are two checks: two notices in one frame.
    spot.reports = {};
    spot.errors.texts.clear();
    spot.camera().atmosphere = kTrue;
    spot.light().attenuationFar = spot.light().attenuationNear;
    spot.Shade();
    spot.Shade();
    EXPECT_EQ(spot.errors.texts, (std::vector<std::string>{"Bad light settings!", "Bad light settings!"}));
}

TEST(ShadePoint, LightsAddUpInSlotOrderAndDisabledOnesCountForNothing) {
    ShadingScene s;
    s.camera().colorCorrect = kTrue;
    s.light().color = {60, 60, 60};
    s.scene->facePool[1].color = {100, 100, 100};
    s.scene->lightRange.count = 2;
    s.scene->lightTable[2] = s.light();
    ExpectColor(s.Shade(), 200, 200, 200);
    s.scene->lightTable[2].enabled = kFalse;
    ExpectColor(s.Shade(), 100, 100, 100);
}

}  // namespace
}  // namespace vantrel
