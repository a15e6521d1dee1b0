#include <gtest/gtest.h>

#include <initializer_list>
#include <random>

#include "interaction_fixture.h"
#include "scene/mesh_store.h"

namespace vantrel {
namespace {

// Faces whose screen positions are set by hand: each corner is (x, y, depth).
struct HandPicking : ::testing::Test, InteractionFixture {
    std::int32_t AddFace(std::initializer_list<Vector3> corners) {
        const std::int32_t mesh = AllocateMesh(*scene, 3, 1);
        const Mesh& record = scene->meshTable[mesh];
        std::int32_t v = record.firstVertex;
        for (const Vector3& corner : corners) work->screenVertices[v++] = corner;
        scene->facePool[record.firstFace] = {record.firstVertex, record.firstVertex + 1, record.firstVertex + 2,
                                             ColorRGB{}, 0.0f};
        return record.firstFace;
    }
    void List(std::initializer_list<std::int32_t> faces) {
        std::int32_t i = 0;
        for (std::int32_t face : faces) work->drawList[i++] = face;
        work->drawList[i] = 0;
    }
};

TEST_F(HandPicking, InsideMeansStrictlyInsideAClockwiseTriangle) {
    // Clockwise on the screen (y down): top-left, top-right, bottom-left.
    const std::int32_t face = AddFace({{10, 10, 0.5f}, {30, 10, 0.5f}, {10, 30, 0.5f}});
    EXPECT_NE(PointInFace(*scene, *work, 12, 12, face), kFalse);
    EXPECT_NE(PointInFace(*scene, *work, 19, 19, face), kFalse);
    EXPECT_EQ(PointInFace(*scene, *work, 20, 20, face), kFalse);  // on the long edge
    EXPECT_EQ(PointInFace(*scene, *work, 15, 10, face), kFalse);  // on the top edge
    EXPECT_EQ(PointInFace(*scene, *work, 10, 10, face), kFalse);  // a corner
    EXPECT_EQ(PointInFace(*scene, *work, 25, 25, face), kFalse);
    // The same triangle the other way round is a back face.
    const std::int32_t back = AddFace({{10, 10, 0.5f}, {10, 30, 0.5f}, {30, 10, 0.5f}});
    EXPECT_EQ(PointInFace(*scene, *work, 12, 12, back), kFalse);
    // Corners are rounded to pixels first, halves to even: 10.5 -> 10, 29.5 -> 30.
    const std::int32_t rounded = AddFace({{10.5f, 10.4f, 0.5f}, {29.5f, 10, 0.5f}, {10, 29.5f, 0.5f}});
    EXPECT_EQ(PointInFace(*scene, *work, 11, 10, rounded), kFalse);
    EXPECT_NE(PointInFace(*scene, *work, 11, 28, rounded), kFalse);
    EXPECT_EQ(PointInFace(*scene, *work, 12, 12, 0), kFalse);
}

TEST_F(HandPicking, OverlapGoesToTheSmallerDepthSumAndTiesToTheFirstListed) {
    const std::int32_t far = AddFace({{0, 0, 0.9f}, {40, 0, 0.9f}, {0, 40, 0.9f}});
    const std::int32_t near = AddFace({{5, 5, 0.2f}, {40, 5, 0.3f}, {5, 40, 0.1f}});
    const std::int32_t tie = AddFace({{5, 5, 0.1f}, {40, 5, 0.3f}, {5, 40, 0.2f}});
    List({far, near});
    EXPECT_EQ(PickFace(*scene, *work, 8, 8), near);
    EXPECT_EQ(PickFace(*scene, *work, 2, 8), far);  // only the far face covers it
    EXPECT_EQ(PickFace(*scene, *work, 30, 30), 0);
    List({near, far});
    EXPECT_EQ(PickFace(*scene, *work, 8, 8), near);
    List({tie, far, near});
    EXPECT_EQ(PickFace(*scene, *work, 8, 8), tie);
    List({near, tie});
    EXPECT_EQ(PickFace(*scene, *work, 8, 8), near);
    // The list ends at its first 0: what follows is last frame's.
    List({far});
    work->drawList[2] = near;
    EXPECT_EQ(PickFace(*scene, *work, 8, 8), far);
    List({});
    EXPECT_EQ(PickFace(*scene, *work, 8, 8), 0);
}

TEST_F(HandPicking, PickingAgreesWithTheInsideTestOnRandomTriangles) {
    std::mt19937 generator(20261207);
    // Corners on half and quarter pixels, so rounding often moves an edge across a test point.
    std::uniform_int_distribution<int> quarter(-8, 4 * 40);
    const auto coordinate = [&] { return static_cast<float>(quarter(generator)) / 4.0f; };
    int inside = 0;
    for (int trial = 0; trial < 300; ++trial) {
        const std::int32_t face = AddFace({{coordinate(), coordinate(), 0.5f}, {coordinate(), coordinate(), 0.5f},
                                           {coordinate(), coordinate(), 0.5f}});
        List({face});
        for (std::int32_t y = -3; y < 44; ++y)
            for (std::int32_t x = -3; x < 44; ++x) {
                const bool in = PointInFace(*scene, *work, x, y, face) != kFalse;
                inside += in;
                ASSERT_EQ(PickFace(*scene, *work, x, y), in ? face : 0) << trial << ": " << x << ", " << y;
            }
        DeleteMesh(*scene, scene->meshRange.count);
    }
    EXPECT_GT(inside, 10000);
}

struct FramePicking : ::testing::Test, InteractionFixture {};

TEST_F(FramePicking, DoubleSidedBackFacesAreNeverPicked) {
    RunObject(kCommandGrid);  // a flat grid facing up
    camera().doubleSided = kTrue;
    const auto countPicks = [&] {
        int picked = 0;
        for (std::int32_t y = 0; y < kPanel.height; y += 2)
            for (std::int32_t x = 0; x < kPanel.width; x += 2) picked += PickFace(*scene, *work, x, y) != 0;
        return picked;
    };
    orbit.latitude = 0.8f;  // from above: the front
    Frame();
    EXPECT_GT(countPicks(), 100);
    orbit.latitude = -0.8f;  // from below: every listed face is a back face
    Frame();
    ASSERT_GT(LastListed(), 0);
    EXPECT_EQ(countPicks(), 0);
}

TEST_F(FramePicking, HoverLeavesExactlyOneOutlineAndRestoresTheFrame) {
    RunObject(kCommandSphere);
    Frame();
    const std::vector<std::uint32_t> clean = Pixels();
    const std::int32_t first = LastListed();
    const Point2 a = CentreOnScreen(first);
    std::int32_t second = 0;
    for (std::int32_t i = 0; work->drawList[i] != 0 && second == 0; ++i) {
        const std::int32_t face = work->drawList[i];
        const Point2 b = CentreOnScreen(face);
        if (face != first && PickFace(*scene, *work, b.x, b.y) == face) second = face;
    }
    ASSERT_NE(second, 0);
    const Point2 b = CentreOnScreen(second);

    InputResponse response = Move(0, a.x, a.y);
    EXPECT_EQ(state.hoverFace, first);
    EXPECT_EQ(response.cursor, CursorShape::CrossHair);
    EXPECT_TRUE(response.presentView);
    EXPECT_EQ(scene->frameDirty, kFalse);
    response = Move(0, a.x, a.y);  // same face: nothing to redraw
    EXPECT_FALSE(response.presentView);
    response = Move(0, b.x, b.y);
    EXPECT_EQ(state.highlightFace, second);
    EXPECT_TRUE(response.presentView);
    const std::vector<std::uint32_t> twoMoves = Pixels();

    // The same picture as outlining only the second face on a clean frame.
    Frame();
    EXPECT_EQ(state.highlightFace, 0);
    ASSERT_EQ(Pixels(), clean);
    Move(0, b.x, b.y);
    const std::vector<std::uint32_t> oneMove = Pixels();
    EXPECT_EQ(twoMoves, oneMove);
    int changed = 0;
    for (std::size_t i = 0; i < clean.size(); ++i) {
        if (oneMove[i] == clean[i]) continue;
        ++changed;
        EXPECT_EQ(oneMove[i] & 0x00FFFFFFu, ~clean[i] & 0x00FFFFFFu);  // inverted, not painted
    }
    EXPECT_GT(changed, 3);

    response = Move(0, 1, 1);  // the background
    EXPECT_EQ(state.hoverFace, 0);
    EXPECT_EQ(state.highlightFace, 0);
    EXPECT_EQ(response.cursor, CursorShape::Arrow);
    EXPECT_TRUE(response.presentView);
    EXPECT_EQ(Pixels(), clean);
    EXPECT_EQ(GetROP2(target.dc), R2_COPYPEN);
    EXPECT_EQ(target.pen, nullptr);
    EXPECT_EQ(target.brush, nullptr);
}

}  // namespace
}  // namespace vantrel
