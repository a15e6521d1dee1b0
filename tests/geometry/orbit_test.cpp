#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "geometry/orbit.h"

namespace vantrel {
namespace {

constexpr float kPi = std::numbers::pi_v<float>;

void ExpectNear(const Vector3& actual, const Vector3& expected, float tolerance) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

TEST(OrbitPoint, StartsInFrontOfTheTargetAndTurnsTowardsXAndUp) {
    const Vector3 origin;
    Vector3 point;
    OrbitPoint(origin, 200, 0, 0, point);
    ExpectNear(point, {0, 0, -200}, 1e-5f);
    OrbitPoint(origin, 200, kPi / 2, 0, point);
    ExpectNear(point, {200, 0, 0}, 1e-4f);
    OrbitPoint(origin, 150, 0.3f, kPi / 2, point);
    ExpectNear(point, {0, 150, 0}, 1e-4f);
    OrbitPoint(origin, 0, 1.0f, -0.5f, point);
    ExpectNear(point, origin, 0);
}

TEST(OrbitPoint, StaysOnTheSphereAroundAMovedTargetAndMayOverwriteIt) {
    const Vector3 target = {10, -5, 30};
    for (float longitude = -kPi; longitude <= kPi; longitude += 0.7f) {
        Vector3 point;
        OrbitPoint(target, 80, longitude, 0.6f, point);
        EXPECT_NEAR(VecDistance(point, target), 80, 1e-3);
        EXPECT_NEAR(point.y - target.y, 80 * std::sin(0.6f), 1e-3);
    }
    Vector3 shared = target;
    OrbitPoint(shared, 80, 0, 0, shared);
    ExpectNear(shared, {10, -5, -50}, 1e-4f);
}

TEST(MatViewFromPlacement, PutsTheEyeAtTheOriginLookingAtTheOrbitTargetAlongZ) {
    Matrix4 view;
    const Vector3 target = {3, 4, 5};
    for (float longitude = -3.0f; longitude <= 3.0f; longitude += 0.9f) {
        for (float latitude = -1.5f; latitude <= 1.5f; latitude += 0.6f) {
            Vector3 eye;
            OrbitPoint(target, 120, longitude, latitude, eye);
            MatViewFromPlacement({0.25f, latitude, -longitude}, eye, view);
            Vector3 eyeInView, targetInView;
            TransformPoint(eye, view, eyeInView);
            TransformPoint(target, view, targetInView);
            ExpectNear(eyeInView, {0, 0, 0}, 1e-3f);
            ExpectNear(targetInView, {0, 0, 120}, 1e-3f);
        }
    }
}

}  // namespace
}  // namespace vantrel
