#include <gtest/gtest.h>

#include "frame_fixture.h"
#include "render/draw_scene.h"

namespace vantrel {
namespace {

constexpr ColorRef kWhite = 0x00FFFFFF;
constexpr ColorRGB kFaceColor{200, 100, 50};
constexpr ColorRGB kLitHeadOn{228, 178, 152};  // white light at the eye, shine 0.5

// In a 64 x 64 panel from the start-up eye this triangle's corners land on the pixels
// (21, 43), (21, 10) and (54, 43); its centroid, the origin, is seen head-on at (32, 32).
std::int32_t AddBigTriangle(RenderFixture& f, ColorRGB color = kFaceColor, float z = 0) {
    return f.AddTriangles({{-40, -40, z}, {-40, 80, z}, {80, -40, z}}, color);
}
constexpr std::int32_t kInsideX = 32, kInsideY = 32;
constexpr std::int32_t kLeftEdgeX = 21, kLeftEdgeY = 30;

TEST(RenderFrame, WireframeOutlinesInWhiteAndLeavesInteriorsUntouched) {
    FrameFixture f;
    f.camera().renderMode = kModeWireframe;
    AddBigTriangle(f);
    f.AddTriangles({{-40, -40, 0}, {80, -40, 0}, {-40, 80, 0}}, {1, 2, 3});  // its back: culled
    f.Background();
    const auto before = f.Snapshot();
    f.Render();
    EXPECT_EQ(f.Pixel(kInsideX, kInsideY), before[kInsideY * 64 + kInsideX]);
    EXPECT_EQ(f.Pixel(kLeftEdgeX, kLeftEdgeY), kWhite);
    EXPECT_EQ(f.Pixel(40, 43), kWhite);
    EXPECT_EQ(GetROP2(f.target.dc), R2_COPYPEN);
}

TEST(RenderFrame, SolidFillsWithTheOwnColourAndOutlinesInWhite) {
    FrameFixture f;
    f.camera().renderMode = kModeSolid;
    AddBigTriangle(f);
    f.RenderOnBackground();
    EXPECT_EQ(f.Pixel(kInsideX, kInsideY), Packed(kFaceColor));
    EXPECT_EQ(f.Pixel(kLeftEdgeX, kLeftEdgeY), kWhite);
}

TEST(RenderFrame, ShadedFillsWithTheLitColourAndNoOutline) {
    FrameFixture f;
    f.camera().renderMode = kModeShaded;
    AddBigTriangle(f);
    f.RenderOnBackground();
    EXPECT_EQ(f.Pixel(kInsideX, kInsideY), Packed(kLitHeadOn));
    EXPECT_EQ(f.Pixel(kLeftEdgeX, kLeftEdgeY), Packed(kLitHeadOn));
    EXPECT_EQ(f.Pixel(kLeftEdgeX - 1, kLeftEdgeY) & 0xFFFF, 0u);  // just outside: background
}

TEST(RenderFrame, TransparentOrsTheLitColourIntoTheBackground) {
    FrameFixture f;
    f.camera().renderMode = kModeTransparent;
    AddBigTriangle(f);
    f.Background();
    const auto before = f.Snapshot();
    f.Render();
    for (const Point2 p : {Point2{23, 15}, Point2{32, 32}, Point2{30, 41}}) {
        const ColorRef background = before[p.y * 64 + p.x];
        EXPECT_NE(background & 0x00FF0000, 0u) << "the check needs some blue underneath";
        EXPECT_EQ(f.Pixel(p.x, p.y), background | Packed(kLitHeadOn)) << p.x << "," << p.y;
    }
    EXPECT_EQ(GetROP2(f.target.dc), R2_MERGEPEN);
}

TEST(RenderFrame, OutlinedInvertsEdgesAndTwiceRestoresThePicture) {
    FrameFixture f;
    f.camera().renderMode = kModeOutlined;
    AddBigTriangle(f);
    f.AddTriangles({{-40, 80, 0}, {80, 80, 0}, {80, -40, 0}}, {9, 9, 9});  // shares the diagonal
    f.Background();
    const auto before = f.Snapshot();
    f.Render();
    EXPECT_EQ(f.Pixel(kLeftEdgeX, kLeftEdgeY), ~before[kLeftEdgeY * 64 + kLeftEdgeX] & 0x00FFFFFF);
    EXPECT_EQ(f.Pixel(kInsideX, kInsideY), before[kInsideY * 64 + kInsideX]);
    // The shared diagonal is inverted twice: back to the background.
    EXPECT_EQ(f.Pixel(37, 26), before[26 * 64 + 37]);
    f.Render();
    EXPECT_EQ(f.Snapshot(), before);
}

TEST(RenderFrame, GradientWithEqualVertexColoursFillsFlat) {
    FrameFixture f;
    f.camera().renderMode = kModeGradient;
    f.scene->lightTable[1].enabled = kFalse;  // every vertex: half the face colour
    AddBigTriangle(f);
    f.RenderOnBackground();
    const ColorRef flat = Packed({100, 50, 25});
    // Inside: right of x = 21, above y = 43, left of the diagonal x = y + 11.
    for (std::int32_t y = 12; y <= 42; y += 3)
        for (std::int32_t x = 22; x < y + 11; x += 3) EXPECT_EQ(f.Pixel(x, y), flat) << x << "," << y;
}

TEST(RenderFrame, GradientShadesEachVertexByTheSummedNormals) {
    FrameFixture f;
    f.camera().renderMode = kModeGradient;
    const std::int32_t mesh = AddBigTriangle(f);
    f.RenderOnBackground();
    const std::int32_t v = f.scene->meshTable[mesh].firstVertex;
    EXPECT_TRUE(VecEqual(f.work->vertexNormals[v], {0, 0, -14400}));
    // Off the axis the light meets the vertex at a slant, so it is darker than head-on.
    EXPECT_LT(f.work->vertexColors[v + 1].r, kLitHeadOn.r);
    EXPECT_GT(f.work->vertexColors[v + 1].r, kFaceColor.r / 2);
}

TEST(RenderFrame, NearerFacesPaintOverFartherOnesWhateverTheirSlots) {
    for (bool nearFirst : {true, false}) {
        FrameFixture f;
        f.camera().renderMode = kModeSolid;
        if (nearFirst) AddBigTriangle(f, {0, 255, 0}, 0);
        AddBigTriangle(f, {255, 0, 0}, 50);
        if (!nearFirst) AddBigTriangle(f, {0, 255, 0}, 0);
        f.RenderOnBackground();
        EXPECT_EQ(f.Pixel(kInsideX, kInsideY), 0x0000FF00u) << nearFirst;
    }
}

TEST(RenderFrame, EmptySceneLeavesTheBackgroundAndBadCameraKeepsTheLastGoodFrame) {
    FrameFixture f;
    f.Background();
    const auto background = f.Snapshot();
    f.Render();
    EXPECT_EQ(f.Snapshot(), background);

    f.camera().renderMode = kModeSolid;
    AddBigTriangle(f);
    f.RenderOnBackground();
    const auto good = f.Snapshot();
    ASSERT_NE(good, background);
    f.camera().nearClip = 0;
    f.RenderOnBackground();
    EXPECT_EQ(f.Snapshot(), good);
    ASSERT_EQ(f.errors.texts.size(), 1u);
    EXPECT_EQ(f.errors.texts[0], "Bad camera settings!");
    f.RenderOnBackground();
    EXPECT_EQ(f.errors.texts.size(), 2u);
}

TEST(RenderFrame, EachFailingSettingsCheckGivesItsOwnNoticeOncePerFrame) {
    FrameFixture f;
    f.camera().renderMode = kModeShaded;
    AddBigTriangle(f);
    f.RenderOnBackground();  // a good frame first: the triangle stays listed from it
    ASSERT_TRUE(f.errors.texts.empty());
    f.camera().nearClip = 0;
    f.camera().atmosphere = kTrue;
    f.camera().atmosphereFar = f.camera().atmosphereNear;
    Light& light = f.scene->lightTable[1];
    light.spotInner = light.spotOuter = 0.5f;
    light.attenuationFar = light.attenuationNear;
    f.RenderOnBackground();
    // Clip distances, then per face the spot cone, the attenuation and the atmosphere.
    const std::vector<std::string> frame = {"Bad camera settings!", "Bad light settings!",
                                            "Bad light settings!", "Bad camera settings!"};
    EXPECT_EQ(f.errors.texts, frame);
    f.RenderOnBackground();
    EXPECT_EQ(f.errors.texts.size(), 2 * frame.size());
}

TEST(PrimitivePass, PointsLinesAndTextDrawOverNearerFacesInMeshOrder) {
    FrameFixture f;
    f.camera().renderMode = kModeSolid;
    AddBigTriangle(f);
    f.AddPrimitive({{0, 0, 100}}, {255, 0, 0});     // behind the face
    f.AddPrimitive({{18, 0, 100}}, {255, 0, 0});
    f.AddPrimitive({{18, 0, 100}}, {0, 0, 255});  // same spot, later slot: on top
    f.RenderOnBackground();
    EXPECT_EQ(f.Pixel(kInsideX, kInsideY), 0x000000FFu);
    EXPECT_EQ(f.Pixel(35, kInsideY), 0x00FF0000u);
}

TEST(PrimitivePass, RunsWithAnEmptyDrawList) {
    FrameFixture f;
    // A line across the middle: from pixel (21, 32), end pixel (43, 32) left out.
    f.AddPrimitive({{-40, 0, 0}, {40, 0, 0}}, {0, 255, 0});
    f.Background();
    const auto before = f.Snapshot();
    f.Render();
    EXPECT_EQ(f.work->drawList[0], 0);
    EXPECT_EQ(f.Pixel(21, 32), 0x0000FF00u);
    EXPECT_EQ(f.Pixel(42, 32), 0x0000FF00u);
    EXPECT_EQ(f.Pixel(43, 32), before[32 * 64 + 43]);
    EXPECT_EQ(f.Pixel(32, 33), before[33 * 64 + 32]);
}

TEST(PrimitivePass, TextIsTrimmedAndABlankNameIsAPixel) {
    FrameFixture f;
    const std::int32_t label = f.AddPrimitive({{0, 0, 0}}, {255, 255, 0}, "3D");
    f.RenderOnBackground();
    const auto plain = f.Snapshot();
    std::int32_t inColour = 0;
    for (ColorRef pixel : plain) inColour += pixel == 0x0000FFFFu;
    EXPECT_GT(inColour, 5);
    // Text goes right and down from the vertex: nothing left of or above it.
    for (std::int32_t y = 0; y < 64; ++y) EXPECT_NE(f.Pixel(31, y), 0x0000FFFFu);
    // The frame puts back the text colour and background mode it changed.
    EXPECT_EQ(f.target.dc->state.backgroundMode, OPAQUE);
    EXPECT_EQ(f.target.dc->state.textColor, 0u);

    SetMeshName(f.scene->meshTable[label], "  3D   ");
    f.RenderOnBackground();
    EXPECT_EQ(f.Snapshot(), plain);

    SetMeshName(f.scene->meshTable[label], "    ");
    f.Background();
    const auto before = f.Snapshot();
    f.Render();
    auto after = f.Snapshot();
    EXPECT_EQ(f.Pixel(32, 32), 0x0000FFFFu);
    after[32 * 64 + 32] = before[32 * 64 + 32];
    EXPECT_EQ(after, before);  // exactly one pixel
}

TEST(PrimitivePass, OnlyTheFirstVertexIsTestedAgainstTheDepthRange) {
    FrameFixture f;
    f.AddPrimitive({{0, 0, -300}}, {255, 0, 0});                // behind the eye
    f.AddPrimitive({{-40, 10, -300}, {40, 10, 0}}, {255, 0, 0});  // starts behind the eye
    f.Background();
    const auto before = f.Snapshot();
    f.Render();
    EXPECT_EQ(f.Snapshot(), before);
    f.AddPrimitive({{-40, 0, 0}, {40, 0, -300}}, {0, 255, 0});  // ends behind: drawn as projected
    f.Render();
    EXPECT_EQ(f.Pixel(21, 32), 0x0000FF00u);
}

TEST(PrimitivePass, OneFaceMeshWithFourVerticesIsAlsoACurve) {
    for (std::int32_t vertices : {3, 4}) {
        FrameFixture f;
        f.camera().renderMode = kModeSolid;
        const std::int32_t mesh = AllocateMesh(*f.scene, vertices, 1);
        const Mesh& record = f.scene->meshTable[mesh];
        const Vector3 points[4] = {{-40, -40, 0}, {-40, 80, 0}, {80, -40, 0}, {80, 80, 0}};
        for (std::int32_t k = 0; k < vertices; ++k) f.scene->vertexPool[record.firstVertex + k] = points[k];
        f.scene->facePool[record.firstFace] = {record.firstVertex, record.firstVertex + 1, record.firstVertex + 2,
                                               {0, 255, 0}, 0.5f};
        f.RenderOnBackground();
        // The outline paints the first corner white; the curve starts there in the face colour.
        EXPECT_EQ(f.Pixel(21, 43), vertices == 4 ? 0x0000FF00u : kWhite) << vertices;
        EXPECT_EQ(f.Pixel(kInsideX, kInsideY), 0x0000FF00u);
    }
}

}  // namespace
}  // namespace vantrel
