#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>

#include "geometry/random.h"
#include "scene/mesh_store.h"
#include "support/reference_weld.h"
#include "support/scene_invariants.h"
#include "support/triangle_soup.h"

namespace vantrel {
namespace {

// A closed box of 24 vertices, four per side, duplicated at the corners; 12 outward faces.
std::int32_t MakeUnweldedBox(Scene& scene) {
    const std::int32_t mesh = AllocateMesh(scene, 24, 12);
    const Mesh& m = scene.meshTable[mesh];
    const float s = 10;
    const Vector3 sides[6][4] = {
        {{-s, -s, -s}, {-s, s, -s}, {s, s, -s}, {s, -s, -s}}, {{s, -s, s}, {s, s, s}, {-s, s, s}, {-s, -s, s}},
        {{-s, -s, s}, {-s, s, s}, {-s, s, -s}, {-s, -s, -s}}, {{s, -s, -s}, {s, s, -s}, {s, s, s}, {s, -s, s}},
        {{-s, s, -s}, {-s, s, s}, {s, s, s}, {s, s, -s}},     {{-s, -s, s}, {-s, -s, -s}, {s, -s, -s}, {s, -s, s}}};
    for (int side = 0; side < 6; ++side) {
        const std::int32_t v = m.firstVertex + 4 * side;
        for (int k = 0; k < 4; ++k) scene.vertexPool[v + k] = sides[side][k];
        scene.facePool[m.firstFace + 2 * side] = Face{v, v + 1, v + 2, {}, 0.5f};
        scene.facePool[m.firstFace + 2 * side + 1] = Face{v, v + 2, v + 3, {}, 0.5f};
    }
    return mesh;
}

TEST(WeldMesh, BoxOfTwentyFourVerticesBecomesEightAndKeepsItsFaces) {
    auto scene = std::make_unique<Scene>();
    const std::int32_t box = MakeUnweldedBox(*scene);
    WeldMesh(*scene, box);
    EXPECT_EQ(scene->meshTable[box].vertexCount, 8);
    EXPECT_EQ(scene->meshTable[box].faceCount, 12);
    EXPECT_EQ(CheckSceneInvariants(*scene), "");
    EXPECT_EQ(scene->vertexPool[9].x, 0.0f);  // vacated slots are cleared
}

TEST(WeldMesh, ThresholdIsStrictlyBelowOneTenThousandth) {
    for (const auto& [gap, expected] : {std::pair{0.00009f, 3}, std::pair{0.0001f, 4}}) {
        auto scene = std::make_unique<Scene>();
        const std::int32_t m = AllocateMesh(*scene, 4, 2);
        scene->vertexPool[1] = {0, 0, 0};
        scene->vertexPool[2] = {1, 0, 0};
        scene->vertexPool[3] = {0, 1, 0};
        scene->vertexPool[4] = {gap, 0, 0};
        scene->facePool[1] = Face{1, 2, 3, {}, 0.5f};
        scene->facePool[2] = Face{4, 3, 2, {}, 0.5f};
        WeldMesh(*scene, m);
        EXPECT_EQ(scene->meshTable[m].vertexCount, expected) << "gap " << gap;
        EXPECT_EQ(scene->meshTable[m].faceCount, 2);
    }
}

void ExpectSameScene(const Scene& a, const Scene& b, const char* what) {
    ASSERT_EQ(a.meshRange.count, b.meshRange.count) << what;
    for (std::int32_t i = 1; i <= a.meshRange.count; ++i) {
        EXPECT_EQ(a.meshTable[i].vertexCount, b.meshTable[i].vertexCount) << what;
        EXPECT_EQ(a.meshTable[i].faceCount, b.meshTable[i].faceCount) << what;
    }
    EXPECT_EQ(std::memcmp(a.vertexPool.data(), b.vertexPool.data(), sizeof(Vector3) * kTableSlots), 0) << what;
    for (std::int32_t f = 0; f < kTableSlots; ++f) {
        const Face& x = a.facePool[f];
        const Face& y = b.facePool[f];
        ASSERT_TRUE(x.corner0 == y.corner0 && x.corner1 == y.corner1 && x.corner2 == y.corner2 &&
                    x.color == y.color && x.shine == y.shine)
            << what << ": face " << f;
    }
}

// Random meshes with clusters, near-threshold pairs, stray and zero corners, and a
// neighbouring mesh behind: the fast weld must match the one-deletion-at-a-time weld.
TEST(WeldMesh, MatchesTheStraightforwardFivePasses) {
    Random random;
    RandomSeed(random, 4242.0);
    auto uniform = [&] { return RandomUniform(random); };
    for (int trial = 0; trial < 60; ++trial) {
        auto fast = std::make_unique<Scene>();
        const std::int32_t vertexCount = 2 + std::int32_t(uniform() * 300);
        const std::int32_t faceCount = 1 + std::int32_t(uniform() * 300);
        AllocateMesh(*fast, 5, 2);  // a mesh in front, whose slots stray corners may name
        const std::int32_t mesh = AllocateMesh(*fast, vertexCount, faceCount);
        AllocateMesh(*fast, 7, 3);  // and one behind
        const Mesh& m = fast->meshTable[mesh];
        for (std::int32_t k = 0; k < vertexCount; ++k) {
            Vector3& v = fast->vertexPool[m.firstVertex + k];
            const float kind = uniform();
            if (kind < 0.4f && k > 0) {  // near an earlier vertex, inside or just outside the distance
                v = fast->vertexPool[m.firstVertex + std::int32_t(uniform() * float(k))];
                v.x += (uniform() - 0.5f) * 0.00025f;
                v.y += (uniform() - 0.5f) * 0.00008f;
            } else if (kind < 0.45f) {
                v = {std::numeric_limits<float>::quiet_NaN(), 0, 0};
            } else if (kind < 0.5f) {
                v = {1e30f * (uniform() - 0.5f), 0, 0};
            } else {
                v = {float(int(uniform() * 4)), float(int(uniform() * 4)) * 0.0001f, 0};
            }
        }
        for (std::int32_t f = 0; f < faceCount; ++f) {
            auto corner = [&] {
                const float kind = uniform();
                if (kind < 0.03f) return std::int32_t(0);
                if (kind < 0.06f) return std::int32_t(1 + uniform() * 5);                    // in the mesh before
                if (kind < 0.09f) return std::int32_t(m.firstVertex + vertexCount + uniform() * 9);  // after
                return m.firstVertex + std::int32_t(uniform() * float(vertexCount));
            };
            fast->facePool[m.firstFace + f] = Face{corner(), corner(), corner(), {1, 2, 3}, float(f)};
        }
        auto reference = std::make_unique<Scene>(*fast);
        WeldMesh(*fast, mesh);
        ReferenceWeldMesh(*reference, mesh);
        ExpectSameScene(*fast, *reference, ("trial " + std::to_string(trial)).c_str());
    }
}

TEST(WeldMesh, MatchesTheStraightforwardPassesOnASphereSoup) {
    auto fast = std::make_unique<Scene>();
    const std::int32_t mesh = MakeSphereSoup(*fast, 1200);
    auto reference = std::make_unique<Scene>(*fast);
    WeldMesh(*fast, mesh);
    ReferenceWeldMesh(*reference, mesh);
    ExpectSameScene(*fast, *reference, "sphere");
    EXPECT_LT(fast->meshTable[mesh].vertexCount, 700);
    EXPECT_EQ(CheckSceneInvariants(*fast), "");
}

}  // namespace
}  // namespace vantrel
