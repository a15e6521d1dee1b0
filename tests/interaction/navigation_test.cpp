#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "interaction_fixture.h"

namespace vantrel {
namespace {

constexpr float kPi = std::numbers::pi_v<float>;

struct Navigation : ::testing::Test, InteractionFixture {
    // A drag of (dx, dy) pixels with the keys held, in one-pixel steps as the mouse reports it.
    void Drag(std::int32_t keys, std::int32_t dx, std::int32_t dy) {
        std::int32_t x = state.lastMouseX, y = state.lastMouseY;
        const std::int32_t steps = std::max(std::abs(dx), std::abs(dy));
        for (std::int32_t i = 1; i <= steps; ++i) Move(keys, x + dx * i / steps, y + dy * i / steps);
    }
    void Start(std::int32_t x, std::int32_t y) { Move(0, x, y); }
};

TEST_F(Navigation, LeftDragTurnsLongitudeAndWrapsPastPi) {
    Start(10, 30);
    scene->frameDirty = kFalse;
    Drag(kMouseLeft, 100, 0);
    EXPECT_NEAR(orbit.longitude, -1.0f, 1e-5f);
    EXPECT_EQ(orbit.latitude, 0.0f);
    EXPECT_EQ(orbit.radius, 200.0f);
    EXPECT_NE(scene->frameDirty, kFalse);
    EXPECT_EQ(Move(kMouseLeft, 110, 30).cursor, CursorShape::SizeAll);

    // Back to the left: longitude grows past pi and comes out near -pi.
    Drag(kMouseLeft, -420, 0);
    EXPECT_NEAR(orbit.longitude, 3.2f - 2 * kPi, 1e-4f);
    EXPECT_GE(orbit.longitude, -kPi);
}

TEST_F(Navigation, LatitudeStopsAtExactlyHalfPi) {
    Start(50, 0);
    Drag(kMouseLeft, 0, 400);
    EXPECT_EQ(orbit.latitude, static_cast<float>(std::numbers::pi / 2));
    EXPECT_EQ(RoundToInt(orbit.latitude * 180.0 / std::numbers::pi), 90);  // as the overlay shows it
    Drag(kMouseLeft, 0, 30);
    EXPECT_EQ(orbit.latitude, static_cast<float>(std::numbers::pi / 2));
    Drag(kMouseLeft, 0, -900);
    EXPECT_EQ(orbit.latitude, static_cast<float>(-std::numbers::pi / 2));
    EXPECT_EQ(orbit.longitude, 0.0f);  // vertical drags leave the longitude alone
}

TEST_F(Navigation, RightDragZoomsAndStopsAtTheCentre) {
    Start(40, 40);
    Drag(kMouseRight, 0, 25);
    EXPECT_EQ(orbit.radius, 225.0f);
    Drag(kMouseRight, 60, 0);  // sideways changes nothing
    EXPECT_EQ(orbit.radius, 225.0f);
    EXPECT_EQ(orbit.longitude, 0.0f);
    EXPECT_EQ(Move(kMouseRight, 100, 40).cursor, CursorShape::SizeNorthSouth);
    Drag(kMouseRight, 0, -300);
    EXPECT_EQ(orbit.radius, 0.0f);
    Drag(kMouseRight, 0, 5);
    EXPECT_EQ(orbit.radius, 5.0f);
}

TEST_F(Navigation, BothButtonsOnlyOrbit) {
    Start(0, 0);
    const InputResponse response = Move(kMouseLeft | kMouseRight, 20, 20);
    EXPECT_EQ(response.cursor, CursorShape::SizeAll);
    EXPECT_EQ(orbit.radius, 200.0f);
    EXPECT_NEAR(orbit.longitude, -0.2f, 1e-6f);
    EXPECT_NEAR(orbit.latitude, 0.2f, 1e-6f);
}

TEST_F(Navigation, ReenteringThePanelJumpsOnceFromWhereItLeft) {
    Start(90, 10);
    Move(kMouseLeft, 95, 10);  // then the pointer leaves the panel; those moves never arrive
    const float before = orbit.longitude;
    Move(kMouseLeft, 45, 10);  // back in 50 pixels further left
    EXPECT_NEAR(orbit.longitude - before, 0.5f, 1e-5f);
    Move(kMouseLeft, 44, 10);
    EXPECT_NEAR(orbit.longitude - before, 0.51f, 1e-5f);
}

TEST_F(Navigation, AFarJumpStillLeavesTheLongitudeWithinPi) {
    Start(0, 0);
    Move(kMouseLeft, 3000, 0);  // 30 radians in one move
    EXPECT_GE(orbit.longitude, -kPi);
    EXPECT_LE(orbit.longitude, kPi);
    EXPECT_NEAR(std::remainder(orbit.longitude + 30.0, 2 * std::numbers::pi), 0.0, 1e-4);
}

}  // namespace
}  // namespace vantrel
