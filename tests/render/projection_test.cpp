#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "render_fixture.h"

namespace vantrel {
namespace {

constexpr float kTan30 = 0.57735027f;

TEST(BuildProjection, RefusesClipDistancesThatCannotBeUsed) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float cases[][2] = {{0, 1600}, {-1, 1600}, {1, 1}, {10, 5}, {nan, 1600}, {1, nan}};
    for (const auto& clip : cases) {
        Matrix4 m;
        MatTranslation({1, 2, 3}, m);
        EXPECT_EQ(BuildProjection(0.5f, clip[0], clip[1], 32, 32, 32, 24, 0, 1, m), kFalse);
        Matrix4 zero;
        MatZero(zero);
        EXPECT_TRUE(MatEqual(m, zero));
    }
    Matrix4 m;
    EXPECT_EQ(BuildProjection(0.5f, 1, 1600, 32, 32, 32, 24, 0, 1, m), kTrue);
    EXPECT_EQ(BuildProjection(0.5f, 1, 1600, 32, 32, 32, 24, 8, 1, m), kTrue);
}

TEST(ProjectVertices, StartUpCameraMapsDepthAndPanelCentre) {
    RenderFixture f;
    const std::int32_t mesh = f.AddTriangles({{0, 0, 0}, {0, 0, -198}, {0, 0, -199}});
    f.Collect({64, 48});
    const std::int32_t v0 = f.scene->meshTable[mesh].firstVertex;
    // The origin sits at depth 200 in view space and in the panel centre.
    EXPECT_FLOAT_EQ(f.work->viewVertices[v0].z, 200.0f);
    EXPECT_FLOAT_EQ(f.Screen(mesh, 0).x, 32.0f);
    EXPECT_FLOAT_EQ(f.Screen(mesh, 0).y, 24.0f);
    EXPECT_NEAR(f.Screen(mesh, 0).z, 1600.0 * 199.0 / (1599.0 * 200.0), 1e-6);
    EXPECT_NEAR(f.Screen(mesh, 1).z, 1600.0 / (1599.0 * 2.0), 1e-6);  // about 0.50031
    EXPECT_NEAR(f.Screen(mesh, 2).z, 0.0, 1e-6);                      // on the near plane
    // Slot 0 is never written.
    EXPECT_TRUE(VecEqual(f.work->screenVertices[0], {}));
}

TEST(ProjectVertices, FieldOfViewSpansTheLongerPanelSide) {
    RenderFixture f;
    // Both points lie on the 30-degree edge of the field of view, 100 in front of the eye.
    const std::int32_t mesh = f.AddTriangles({{100 * kTan30, 0, -100}, {0, 100 * kTan30, -100}, {0, 0, 0}});
    f.Collect({64, 48});  // wide: s = hw = 32
    EXPECT_NEAR(f.Screen(mesh, 0).x, 64.0, 1e-3);
    EXPECT_NEAR(f.Screen(mesh, 1).y, 24.0 - 32.0, 1e-3);
    f.Collect({48, 64});  // tall: s = hh = 32
    EXPECT_NEAR(f.Screen(mesh, 0).x, 24.0 + 32.0, 1e-3);
    EXPECT_NEAR(f.Screen(mesh, 0).y, 32.0, 1e-3);
    EXPECT_NEAR(f.Screen(mesh, 1).y, 0.0, 1e-3);
    f.Collect({40, 40});  // square: hw = hh = s
    EXPECT_NEAR(f.Screen(mesh, 0).x, 40.0, 1e-3);
    EXPECT_NEAR(f.Screen(mesh, 1).y, 0.0, 1e-3);
}

TEST(ProjectVertices, OrthographicScalesByPixelsPerUnitAndKeepsTheDepthRange) {
    RenderFixture f;
    f.camera().orthographic = 8;
    f.camera().orthoScale = 2;
    const std::int32_t mesh = f.AddTriangles({{10, 5, 0}, {-3, -4, 1400}, {0, 0, -199}});
    f.Collect({64, 48});
    EXPECT_FLOAT_EQ(f.Screen(mesh, 0).x, 32.0f + 20.0f);
    EXPECT_FLOAT_EQ(f.Screen(mesh, 0).y, 24.0f - 10.0f);
    EXPECT_NEAR(f.Screen(mesh, 0).z, 199.0 / 1599.0, 1e-6);
    EXPECT_FLOAT_EQ(f.Screen(mesh, 1).x, 32.0f - 6.0f);
    EXPECT_FLOAT_EQ(f.Screen(mesh, 1).y, 24.0f + 8.0f);
    EXPECT_NEAR(f.Screen(mesh, 1).z, 1.0, 1e-6);
    EXPECT_NEAR(f.Screen(mesh, 2).z, 0.0, 1e-6);
}

TEST(ProjectVertices, BadClipDistancesReportOncePerFrameAndKeepTheLastGoodProjection) {
    RenderFixture f;
    const std::int32_t mesh = f.AddTriangles({{0, 0, 0}, {0, 10, 0}, {10, 0, 0}});
    ASSERT_EQ(f.Collect(), 1);
    const Vector3 good = f.Screen(mesh, 1);
    f.camera().nearClip = 0;
    f.scene->meshTable[mesh].position = {5, 5, 0};
    f.scene->meshTable[mesh].matrixDirty = kTrue;
    EXPECT_EQ(f.Collect(), 1);  // judged on the last good projection
    EXPECT_TRUE(VecEqual(f.Screen(mesh, 1), good));
    ASSERT_EQ(f.errors.texts.size(), 1u);
    EXPECT_EQ(f.errors.texts[0], "Bad camera settings!");
    f.camera().nearClip = 1;
    f.camera().farClip = 1;
    f.Collect();
    EXPECT_EQ(f.errors.texts.size(), 2u);
    f.camera().farClip = 1600;
    f.Collect();
    EXPECT_EQ(f.errors.texts.size(), 2u);
    EXPECT_FALSE(VecEqual(f.Screen(mesh, 1), good));
}

TEST(ProjectVertices, PointInTheEyePlaneKeepsItsEarlierProjection) {
    RenderFixture f;
    const std::int32_t mesh = f.AddTriangles({{5, 0, -200}, {0, 0, 0}, {1, 0, 0}});
    const std::int32_t v0 = f.scene->meshTable[mesh].firstVertex;
    f.work->screenVertices[v0] = {7, 8, 9};
    f.Collect();
    EXPECT_TRUE(VecEqual(f.work->screenVertices[v0], {7, 8, 9}));
}

TEST(UpdateWorldVertices, ChildIsPlacedByItsOwnTransformThenItsParents) {
    RenderFixture f;
    const std::int32_t parent = f.AddTriangles({{0, 0, 0}, {0, 1, 0}, {1, 0, 0}});
    const std::int32_t child = f.AddTriangles({{1, 0, 0}, {0, 1, 0}, {0, 0, 1}});
    f.scene->meshTable[parent].scale = {3, 3, 3};
    f.scene->meshTable[parent].position = {10, 0, 0};
    f.scene->meshTable[child].position = {0, 5, 0};
    f.scene->meshTable[child].parent = parent;
    f.Collect();
    const std::int32_t v = f.scene->meshTable[child].firstVertex;
    // (1, 0, 0) moved by (0, 5, 0), then scaled by 3 and moved by (10, 0, 0).
    EXPECT_TRUE(VecEqual(f.work->worldVertices[v], {13, 15, 0}));
    EXPECT_EQ(f.scene->meshTable[child].matrixDirty, kFalse);

    // Moving only the parent drags the child along.
    f.scene->meshTable[parent].position = {20, 0, 0};
    f.scene->meshTable[parent].matrixDirty = kTrue;
    f.Collect();
    EXPECT_TRUE(VecEqual(f.work->worldVertices[v], {23, 15, 0}));
}

TEST(UpdateWorldVertices, RotationsTurnRollThenPitchThenYaw) {
    RenderFixture f;
    const std::int32_t mesh = f.AddTriangles({{1, 0, 0}, {0, 1, 0}, {0, 0, 1}});
    const float quarter = 1.5707964f;
    f.scene->meshTable[mesh].rotation = {quarter, quarter, quarter};
    f.Collect();
    const std::int32_t v = f.scene->meshTable[mesh].firstVertex;
    // x: roll to +y, pitch to +z, yaw back to +x; y: to -x, stays, to +z; z: stays, to -y, stays.
    // Any other order of the three turns moves at least one axis elsewhere.
    const Vector3 expected[3] = {{1, 0, 0}, {0, 0, 1}, {0, -1, 0}};
    for (int k = 0; k < 3; ++k) {
        EXPECT_NEAR(f.work->worldVertices[v + k].x, expected[k].x, 1e-5) << k;
        EXPECT_NEAR(f.work->worldVertices[v + k].y, expected[k].y, 1e-5) << k;
        EXPECT_NEAR(f.work->worldVertices[v + k].z, expected[k].z, 1e-5) << k;
    }
}

TEST(UpdateViewVertices, ViewMatrixStaysStaleUntilAMeshExists) {
    RenderFixture f;
    f.Collect();
    EXPECT_NE(f.camera().matrixDirty, kFalse);
    f.AddTriangles({{0, 0, 0}, {0, 1, 0}, {1, 0, 0}});
    f.Collect();
    EXPECT_EQ(f.camera().matrixDirty, kFalse);
    Matrix4 expected;
    MatTranslation({0, 0, 200}, expected);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_NEAR(MatElement(f.camera().view, r, c), MatElement(expected, r, c), 1e-5);
}

}  // namespace
}  // namespace vantrel
