#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <numbers>
#include <string>

#include "object_test_support.h"
#include "objects/charts.h"
#include "objects/command_ids.h"
#include "objects/object_commands.h"
#include "objects/scatter.h"

namespace vantrel {
namespace {

using testing::ContentsOf;
using testing::ErrorLog;

class Charts : public ::testing::Test {
protected:
    void SetUp() override {
        testing::StartScene(scene, log);
        RandomSeed(random, 777.5);
    }
    std::int32_t Build(int id) { return RunObjectCommand(scene, random, id); }
    Scene scene;
    ErrorLog log;
    Random random;
};

TEST_F(Charts, ScattersLeaveTheirCountOfSmallObjectsInsideTheCube) {
    struct Scatter {
        int id;
        std::int32_t count;
        std::int32_t vertices;
    };
    for (const Scatter scatter : {Scatter{kCommandPixel, 40, 1}, Scatter{kCommandLine, 10, 2},
                                  Scatter{kCommandText, 20, 1}, Scatter{kCommandCurve, 10, 4}}) {
        Build(kCommandSphere);  // replaced entirely
        Build(scatter.id);
        EXPECT_EQ(scene.meshRange.count, scatter.count) << scatter.id;
        EXPECT_EQ(scene.currentMesh, scatter.count) << scatter.id;
        EXPECT_EQ(scene.frameDirty, kTrue);
        for (std::int32_t m = 1; m <= scatter.count; ++m) {
            const Mesh& mesh = scene.meshTable[m];
            ASSERT_EQ(mesh.vertexCount, scatter.vertices);
            ASSERT_EQ(mesh.faceCount, 1);
            const Face& face = scene.facePool[mesh.firstFace];
            EXPECT_EQ(face.corner0 | face.corner1 | face.corner2, 0);
            EXPECT_GE(face.shine, 0.0f);
            EXPECT_LT(face.shine, 1.0f);
            EXPECT_STREQ(mesh.name, scatter.id == kCommandText ? "3D" : "");
            for (std::int32_t v = mesh.firstVertex; v <= LastVertex(mesh); ++v) {
                for (float c : {scene.vertexPool[v].x, scene.vertexPool[v].y, scene.vertexPool[v].z}) {
                    EXPECT_GE(c, -40.0f);
                    EXPECT_LT(c, 40.0f);
                }
            }
        }
        // Each object's points are its own: no two curves or lines share their first point.
        EXPECT_NE(VecEqual(scene.vertexPool[scene.meshTable[1].firstVertex],
                           scene.vertexPool[scene.meshTable[2].firstVertex]),
                  kTrue);
    }
    EXPECT_EQ(log.count, 0);

    // The Edit commands then act on the last object only.
    const ColorRGB firstColour = scene.facePool[scene.meshTable[1].firstFace].color;
    RunEditCommand(scene, random, kCommandColorWhite);
    EXPECT_EQ(scene.facePool[scene.meshTable[10].firstFace].color, (ColorRGB{255, 255, 255}));
    EXPECT_EQ(scene.facePool[scene.meshTable[1].firstFace].color, firstColour);
}

TEST_F(Charts, TextIsCutTo127BytesWithoutSplittingACharacter) {
    const std::string ascii(300, 'a');
    const std::int32_t plain = MakeText(scene, ascii.c_str(), {0, 0, 0});
    EXPECT_EQ(std::string(scene.meshTable[plain].name), ascii.substr(0, 127));

    std::string accents;
    for (int i = 0; i < 100; ++i) accents += "\xC3\xA9";  // e-acute, two bytes each
    const std::int32_t utf8 = MakeText(scene, accents.c_str(), {0, 0, 0});
    EXPECT_EQ(std::string(scene.meshTable[utf8].name), accents.substr(0, 126));

    const std::int32_t empty = MakeText(scene, nullptr, {0, 0, 0});
    EXPECT_STREQ(scene.meshTable[empty].name, "");
}

TEST_F(Charts, BarGraphStandsNewestBarFirstOnItsLayout) {
    const std::array<float, 6> values = {0.5f, 1.0f, 0.25f, 2.0f, 0.0f, 1.5f};
    const std::array<ColorRef, 6> colors = {0x0000FF, 0x00FF00, 0xFF0000, 0x123456, 0x654321, 0xABCDEF};
    const std::int32_t chart = MakeBarGraph(scene, 3, 2, {80, 40, 40}, 5, values, colors);
    ASSERT_NE(chart, 0);
    EXPECT_EQ(scene.meshRange.count, 1);
    const Mesh& m = scene.meshTable[chart];
    ASSERT_EQ(m.vertexCount, 48);
    ASSERT_EQ(m.faceCount, 72);
    // After centring (y spans 0..40 before), the newest bar (value 1.5, the last) comes first:
    // its top is at 1.5 / 2 * 40 - 20 = 10 and its colour is 0xABCDEF.
    float top = -100;
    for (std::int32_t v = m.firstVertex; v < m.firstVertex + 8; ++v) top = std::max(top, scene.vertexPool[v].y);
    EXPECT_NEAR(top, 10, 1e-4);
    EXPECT_EQ(scene.facePool[m.firstFace].color, (ColorRGB{0xEF, 0xCD, 0xAB}));
    EXPECT_EQ(scene.facePool[LastFace(m)].color, (ColorRGB{0xFF, 0, 0}));
    EXPECT_EQ(scene.facePool[LastFace(m)].shine, 0.5f);
}

TEST_F(Charts, BarGraphCommandMatchesTheListedLayout) {
    Build(kCommandBarGraph);
    const Mesh& m = scene.meshTable[scene.currentMesh];
    EXPECT_EQ(scene.currentMesh, 1);
    EXPECT_EQ(m.vertexCount, 144);
    EXPECT_EQ(m.faceCount, 216);
    Vector3 low, high;
    MeshMinCorner(scene, 1, low);
    MeshMaxCorner(scene, 1, high);
    EXPECT_NEAR(low.x, -42.5, 1e-4);
    EXPECT_NEAR(high.x, 42.5, 1e-4);
    EXPECT_NEAR(low.y, -20, 1e-4);
    EXPECT_NEAR(high.y, 20, 1e-4);
    EXPECT_NEAR(low.z, -22.5, 1e-4);
    EXPECT_NEAR(high.z, 22.5, 1e-4);
}

TEST_F(Charts, GridGraphShadesItsHeightFieldFromBlueToRed) {
    const std::array<float, 9> values = {0, 0, 0, 0, 2, 0, 0, 0, 1};
    const std::int32_t mesh = MakeGridGraph(scene, 3, 3, {80, 40, 80}, values, {0, 0, 255}, {255, 0, 0},
                                            FaceSides::Single);
    ASSERT_NE(mesh, 0);
    const Mesh& m = scene.meshTable[mesh];
    EXPECT_EQ(m.vertexCount, 9);
    EXPECT_EQ(m.faceCount, 8);
    // The peak (vertex 4, the middle) is the highest point: 40 above the floor, centred to 20.
    EXPECT_NEAR(scene.vertexPool[m.firstVertex + 4].y, 20, 1e-4);
    EXPECT_NEAR(scene.vertexPool[m.firstVertex + 8].y, 0, 1e-4);
    EXPECT_NEAR(scene.vertexPool[m.firstVertex].y, -20, 1e-4);
    for (std::int32_t f = m.firstFace; f <= LastFace(m); ++f) {
        const Face& face = scene.facePool[f];
        EXPECT_EQ(face.color.g, 0);
        EXPECT_NEAR(face.color.r + face.color.b, 255, 1);  // each channel rounds on its own
        EXPECT_EQ(face.shine, 0.5f);
    }

    Build(kCommandGridGraph);
    EXPECT_EQ(scene.meshTable[1].vertexCount, 25);
    EXPECT_EQ(scene.meshTable[1].faceCount, 32);
    Vector3 low, high;
    MeshMinCorner(scene, 1, low);
    MeshMaxCorner(scene, 1, high);
    EXPECT_NEAR(high.x - low.x, 80, 1e-4);
    EXPECT_LE(high.y - low.y, 40.0001f);
}

TEST_F(Charts, PieGraphWedgesGoOnceRoundInTheirOwnColours) {
    const std::array<float, 4> values = {1, 2, 3, 2};
    const std::array<ColorRef, 4> colors = {0x0000FF, 0x00FF00, 0xFF0000, 0xFFFFFF};
    const std::int32_t chart = MakePieGraph(scene, 40, 10, 16, values, colors);
    ASSERT_NE(chart, 0);
    EXPECT_EQ(scene.meshRange.count, 1);
    const Mesh& m = scene.meshTable[chart];
    // The top faces (normal up) of each colour cover that value's share of the disc.
    Vector3 centre;
    MeshCentre(scene, chart, centre);
    double area[4] = {0, 0, 0, 0};
    const ColorRGB rgb[4] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
    for (std::int32_t f = m.firstFace; f <= LastFace(m); ++f) {
        const Face& face = scene.facePool[f];
        EXPECT_EQ(face.shine, 0.5f);
        const Vector3 n = testing::FaceNormal(scene, face);
        if (n.y <= 0 || std::fabs(n.x) + std::fabs(n.z) > 1e-3f * n.y) continue;
        int k = 0;
        while (k < 4 && !(face.color == rgb[k])) ++k;
        ASSERT_LT(k, 4);
        area[k] += n.y / 2;
    }
    double total = 0;
    for (double a : area) total += a;
    for (int k = 0; k < 4; ++k) EXPECT_NEAR(area[k] / total, values[k] / 8.0, 0.05) << k;

    // The command's four random values give one chart; a list with nothing to share gives none.
    Build(kCommandPieGraph);
    EXPECT_EQ(scene.meshRange.count, 1);
    EXPECT_GT(scene.meshTable[1].faceCount, 0);
    EXPECT_EQ(MakePieGraph(scene, 40, 10, 16, std::array<float, 2>{0, 0}, colors), 0);
}

TEST_F(Charts, RippleHasConcentricWavesAndRepeatsExactly) {
    Build(kCommandRipple);
    const Mesh& m = scene.meshTable[1];
    ASSERT_EQ(m.vertexCount, 121);
    ASSERT_EQ(m.faceCount, 200);
    int checked = 0;
    for (std::int32_t v = m.firstVertex; v <= LastVertex(m); ++v) {
        const Vector3& p = scene.vertexPool[v];
        EXPECT_NEAR(std::remainder(p.x, 8.0f), 0, 1e-4);
        EXPECT_NEAR(std::remainder(p.z, 8.0f), 0, 1e-4);
        const bool centre = p.x == 0 && p.z == 0;
        const bool nextToCentre = std::fabs(p.x - 8) < 1e-4f && std::fabs(p.z) < 1e-4f;
        const bool corner = std::fabs(p.x) > 39.99f && std::fabs(p.z) > 39.99f;
        if (centre) {
            EXPECT_NEAR(p.y, 0, 1e-4);
        } else if (nextToCentre) {
            EXPECT_NEAR(p.y, 9.511, 5e-4);
        } else if (corner) {
            EXPECT_NEAR(p.y, 5.133, 5e-4);
        }
        checked += centre + nextToCentre + corner;
    }
    EXPECT_EQ(checked, 6);
    const testing::MeshContents first = ContentsOf(scene, 1);
    RandomSeed(random, 1.0);
    Build(kCommandRipple);
    EXPECT_TRUE(ContentsOf(scene, 1) == first);
}

}  // namespace
}  // namespace vantrel
