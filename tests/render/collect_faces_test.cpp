#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <limits>
#include <random>
#include <tuple>
#include <utility>
#include <vector>

#include "render/draw_scene.h"
#include "render/face_geometry.h"
#include "render/render_threads.h"
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

TEST(CollectVisibleFaces, AnyNumberOfThreadsListsTheSameFacesInTheSameOrder) {
    // Thirty meshes of a hundred small random triangles seen from both sides, every seventh mesh
    // hidden, a few triangles outside the view, and every tenth repeated so keys tie.
    RenderFixture f;
    f.camera().doubleSided = kTrue;
    std::mt19937 random(77);
    std::uniform_real_distribution<float> place(-70, 70), offset(-10, 10);
    for (int m = 0; m < 30; ++m) {
        std::vector<Vector3> corners;
        for (int t = 0; t < 100; ++t) {
            if (t % 10 == 9) {
                corners.insert(corners.end(), corners.end() - 3, corners.end());
                continue;
            }
            const Vector3 at{place(random), place(random), place(random)};
            for (int k = 0; k < 3; ++k) corners.push_back({at.x + offset(random), at.y + offset(random), at.z + offset(random)});
        }
        const std::int32_t mesh = AllocateMesh(*f.scene, 300, 100);
        const Mesh& record = f.scene->meshTable[mesh];
        for (int k = 0; k < 300; ++k) f.scene->vertexPool[record.firstVertex + k] = corners[static_cast<std::size_t>(k)];
        for (int t = 0; t < 100; ++t)
            f.scene->facePool[record.firstFace + t] = {record.firstVertex + 3 * t, record.firstVertex + 3 * t + 1,
                                                       record.firstVertex + 3 * t + 2, {200, 100, 50}, 0.5f};
        f.scene->meshTable[mesh].visible = m % 7 == 3 ? kFalse : kTrue;
    }
    // The list, its keys and the faces as prepared for drawing (corners, rows and colours).
    const auto collected = [&f] {
        const std::int32_t count = f.Collect();
        SettingReports reports;
        ColourListedFaces(*f.scene, *f.work, reports, 1);
        std::vector<std::int32_t> prepared(sizeof(ListedFace) / 4 * static_cast<std::size_t>(count));
        std::memcpy(prepared.data(), f.work->listedFaces.data(), prepared.size() * 4);
        return std::tuple(f.Listed(), std::vector<float>(f.work->depthKeys.begin(), f.work->depthKeys.begin() + count),
                          prepared);
    };
    const auto one = collected();
    ASSERT_GT(std::get<0>(one).size(), 2048u);  // enough to be shared out
    for (std::int32_t threads : {2, 3, 8}) {
        f.work->threads = std::make_unique<RenderThreads>(threads);
        EXPECT_EQ(collected(), one) << threads << " threads";
    }
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
