#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <utility>
#include <vector>

#include "render/face_geometry.h"
#include "render_fixture.h"

namespace vantrel {
namespace {

// Seen from the start-up eye at (0, 0, -200): this winding faces the camera.
constexpr Vector3 kA{0, 0, 0}, kB{0, 10, 0}, kC{10, 0, 0};

TEST(CollectVisibleFaces, BackFacesAreCulledUnlessDoubleSided) {
    RenderFixture f;
    const std::int32_t front = f.AddTriangles({kA, kB, kC});
    f.AddTriangles({kA, kC, kB});
    EXPECT_EQ(f.Collect(), 1);
    EXPECT_EQ(f.Listed(), (std::vector<std::int32_t>{f.FaceSlot(front, 0)}));
    f.camera().doubleSided = kTrue;
    EXPECT_EQ(f.Collect(), 2);
    EXPECT_EQ(f.Listed().size(), 2u);
}

TEST(CollectVisibleFaces, EdgeOnAndDegenerateFacesAreCulledUnlessDoubleSided) {
    RenderFixture f;
    f.AddTriangles({{0, 0, 0}, {0, 0, 10}, {0, 10, 0}});  // its plane holds the eye: cosine 0
    f.AddTriangles({{0, 0, 0}, {5, 5, 0}, {10, 10, 0}});  // collinear: zero normal
    EXPECT_EQ(f.Collect(), 0);
    f.camera().doubleSided = kTrue;
    EXPECT_EQ(f.Collect(), 2);
}

// The facing test's shortcut must give the cosine's own verdict for every pair, above all the
// nearly edge-on ones, the huge and tiny ones and those with NaN or infinite parts.
TEST(CollectVisibleFaces, FacingShortcutAgreesWithTheFullCosine) {
    std::mt19937 generator(7);
    std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
    std::uniform_int_distribution<int> exponent(-24, 24);
    const auto randomVector = [&] {
        const float scale = std::ldexp(1.0f, 3 * exponent(generator));
        return Vector3{unit(generator) * scale, unit(generator) * scale, unit(generator) * scale};
    };
    const float inf = std::numeric_limits<float>::infinity(), nan = std::numeric_limits<float>::quiet_NaN();
    const float tiny = std::numeric_limits<float>::denorm_min();
    std::vector<std::pair<Vector3, Vector3>> pairs = {
        {{0, 0, 0}, {1, 0, 0}},     {{1, 0, 0}, {0, 0, 0}},      {{nan, 0, 0}, {1, 0, 0}},
        {{inf, 0, 0}, {1, 0, 0}},   {{1e20f, 0, 0}, {1e20f, 1, 0}}, {{tiny, 0, 0}, {tiny, 0, 0}},
        {{1e-20f, 0, 0}, {1, 0, 0}}, {{0, 1, 0}, {1, 0, 0}},     {{3e19f, 3e19f, 0}, {1, 1, 0}},
    };
    for (int i = 0; i < 200000; ++i) {
        const Vector3 a = randomVector();
        Vector3 b = randomVector();
        if (i % 2 == 1) {
            // b turned square to a, then tipped by a tiny share of a either way.
            Vector3 across;
            VecCross(a, b, across);
            VecCross(across, a, b);
            const float lengthA = std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z);
            const float lengthB = std::sqrt(b.x * b.x + b.y * b.y + b.z * b.z);
            const float tip = std::ldexp(unit(generator), -exponent(generator) - 8) * lengthB / lengthA;
            b = {b.x + tip * a.x, b.y + tip * a.y, b.z + tip * a.z};
        }
        pairs.push_back({a, b});
    }
    int disagreements = 0, edgeOn = 0;
    for (const auto& [a, b] : pairs) {
        const float cosine = VecCosAngleInline(a, b);
        edgeOn += std::fabs(cosine) < 1e-5f;
        if (CosAnglePositive(a, b) != (cosine > 0.0f)) {
            ++disagreements;
            ADD_FAILURE() << "a (" << a.x << ", " << a.y << ", " << a.z << ") b (" << b.x << ", " << b.y << ", "
                          << b.z << ") cosine " << cosine;
            if (disagreements > 5) break;
        }
    }
    EXPECT_GT(edgeOn, 1000) << "the nearly edge-on pairs reach the full path";
}

TEST(CollectVisibleFaces, FaceCrossingASidePlaneVanishesWhole) {
    RenderFixture f;
    // At the origin the field of view reaches 200 * tan 30 = 115.5 to each side.
    const std::int32_t inside = f.AddTriangles({{100, 0, 0}, {100, 10, 0}, {110, 0, 0}});
    f.AddTriangles({{100, 0, 0}, {100, 10, 0}, {120, 0, 0}});       // right edge
    f.AddTriangles({{0, 110, 0}, {0, 120, 0}, {10, 110, 0}});       // top edge, same slope
    f.AddTriangles({{-120, -10, 0}, {-120, 0, 0}, {-100, -10, 0}});  // left edge
    f.Collect();
    EXPECT_EQ(f.Listed(), (std::vector<std::int32_t>{f.FaceSlot(inside, 0)}));
}

TEST(CollectVisibleFaces, DepthRangeIsStrictAtBothPlanes) {
    RenderFixture f;
    f.AddTriangles({{0, 0, -199}, {0, 0.1f, -199}, {0.1f, 0, -199}});  // on the near plane
    f.AddTriangles({{0, 0, -190}, {0, 1, -190}, {1, 0, -190}});          // just behind it
    f.AddTriangles({{0, 0, 1400}, {0, 10, 1400}, {10, 0, 1400}});        // on the far plane
    f.AddTriangles({{0, 0, -300}, {0, 10, -300}, {10, 0, -300}});        // behind the eye
    EXPECT_EQ(f.Collect(), 1);
}

TEST(CollectVisibleFaces, OrthographicSkipsTheSidePlanesButNotTheDepthRange) {
    RenderFixture f;
    f.camera().orthographic = 8;
    f.camera().orthoScale = 1;
    f.AddTriangles({{1000, 0, 0}, {1000, 10, 0}, {1010, 0, 0}});  // far off the panel
    f.AddTriangles({{0, 0, -199}, {0, 10, -190}, {10, 0, -190}});  // a corner on the near plane
    // Turned from the eye point but towards the viewing direction: parallel rays still see it.
    f.AddTriangles({{1000, 0, 0}, {1000, 10, 0}, {1000.1f, 0, 1}});
    EXPECT_EQ(f.Collect(), 2);
    f.camera().orthographic = 0;
    EXPECT_EQ(f.Collect(), 0);
}

TEST(CollectVisibleFaces, FarthestFaceComesFirstKeyedByTheNegatedDepthSum) {
    RenderFixture f;
    const std::int32_t near = f.AddTriangles({kA, kB, kC});
    const std::int32_t far = f.AddTriangles({{0, 0, 100}, {0, 10, 100}, {10, 0, 100}});
    const std::int32_t middle = f.AddTriangles({{0, 0, 50}, {0, 10, 50}, {10, 0, 50}});
    ASSERT_EQ(f.Collect(), 3);
    EXPECT_EQ(f.Listed(), (std::vector<std::int32_t>{f.FaceSlot(far, 0), f.FaceSlot(middle, 0), f.FaceSlot(near, 0)}));
    const float sum = f.Screen(far, 0).z + f.Screen(far, 1).z + f.Screen(far, 2).z;
    EXPECT_NEAR(f.work->depthKeys[0], -sum, 1e-6);
    EXPECT_LT(f.work->depthKeys[0], -2.0f);  // a sum of three depths, not their mean
}

TEST(CollectVisibleFaces, ShorterListClearsTheStaleEntriesOfTheLongerOne) {
    RenderFixture f;
    const std::int32_t mesh = f.AddTriangles({kA, kB, kC, {0, 0, 10}, {0, 10, 10}, {10, 0, 10},
                                              {0, 0, 20}, {0, 10, 20}, {10, 0, 20}});
    ASSERT_EQ(f.Collect(), 3);
    // The view widens with depth: at x 115..125 only the farthest face stays inside.
    f.scene->meshTable[mesh].position = {115, 0, 0};
    f.scene->meshTable[mesh].matrixDirty = kTrue;
    ASSERT_EQ(f.Collect(), 1);
    EXPECT_EQ(f.work->drawList[1], 0);
    EXPECT_EQ(f.work->drawList[2], 0);
    EXPECT_EQ(f.work->drawList[3], 0);
    f.scene->meshTable[mesh].position = {0, 0, 0};
    f.scene->meshTable[mesh].matrixDirty = kTrue;
    EXPECT_EQ(f.Collect(), 3);
    EXPECT_EQ(f.work->drawList[3], 0);
}

TEST(CollectVisibleFaces, PrimitiveAndHiddenMeshFacesNeverEnterTheList) {
    RenderFixture f;
    const std::int32_t hidden = f.AddTriangles({kA, kB, kC});
    f.scene->meshTable[hidden].visible = kFalse;
    f.AddPrimitive({{0, 0, 0}}, {255, 0, 0}, "3D");
    f.AddPrimitive({{0, 0, 0}, {10, 0, 0}}, {0, 255, 0});
    f.AddPrimitive({{0, 0, 0}, {10, 0, 0}, {0, 10, 0}, {10, 10, 0}}, {0, 0, 255});
    f.camera().doubleSided = kTrue;
    EXPECT_EQ(f.Collect(), 0);
}

}  // namespace
}  // namespace vantrel
