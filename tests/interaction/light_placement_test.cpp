#include <gtest/gtest.h>

#include <cmath>

#include "interaction_fixture.h"
#include "render/transform.h"
#include "scene/mesh_store.h"

namespace vantrel {
namespace {

struct LightPlacement : ::testing::Test, InteractionFixture {
    void ShiftDown(int repeats = 1) {
        for (int i = 0; i < repeats; ++i) EnterLightPlacement(*scene, state);
    }
    void ShiftUp() { LeaveLightPlacement(*scene, state); }
    const Mesh& pointer() const { return scene->meshTable[state.lightPointer]; }
};

TEST_F(LightPlacement, HeldShiftBuildsOneRedPyramidAlongMinusZ) {
    RunObject(kCommandSphere);
    const std::int32_t meshes = scene->meshRange.count;
    scene->frameDirty = kFalse;
    ShiftDown(12);
    EXPECT_NE(state.lightPlacement, kFalse);
    ASSERT_NE(state.lightPointer, 0);
    EXPECT_EQ(scene->meshRange.count, meshes + 1);
    EXPECT_EQ(scene->frameDirty, kFalse);  // shows with the next frame something else asks for
    EXPECT_EQ(scene->currentMesh, 1);

    const Mesh& cone = pointer();
    EXPECT_EQ(cone.vertexCount, 6);  // apex, four base corners, base centre
    EXPECT_EQ(cone.faceCount, 8);
    for (std::int32_t f = cone.firstFace; f <= LastFace(cone); ++f) {
        EXPECT_EQ(scene->facePool[f].color, (ColorRGB{255, 0, 0}));
        EXPECT_EQ(scene->facePool[f].shine, 0.5f);
    }
    // Apex on the -z axis at -30, the square base around it at z = -10, corners on the diagonals.
    int apexes = 0, corners = 0;
    for (std::int32_t v = cone.firstVertex; v <= LastVertex(cone); ++v) {
        const Vector3& p = scene->vertexPool[v];
        if (p.z < -20) {
            ++apexes;
            EXPECT_NEAR(p.z, -30.0f, 1e-4f);
            EXPECT_NEAR(p.x, 0.0f, 1e-4f);
            EXPECT_NEAR(p.y, 0.0f, 1e-4f);
        } else {
            EXPECT_NEAR(p.z, -10.0f, 1e-4f);
            if (std::hypot(p.x, p.y) < 1e-3f) continue;  // the base centre
            ++corners;
            EXPECT_NEAR(std::fabs(p.x), std::fabs(p.y), 1e-3f);
            EXPECT_NEAR(std::hypot(p.x, p.y), 10.0f, 1e-3f);
        }
    }
    EXPECT_EQ(apexes, 1);
    EXPECT_EQ(corners, 4);

    ShiftUp();
    EXPECT_EQ(state.lightPlacement, kFalse);
    EXPECT_EQ(state.lightPointer, 0);
    EXPECT_EQ(scene->meshRange.count, meshes);
    EXPECT_NE(scene->frameDirty, kFalse);
}

TEST_F(LightPlacement, ShiftWithoutADragLeavesTheCameraWhereItWas) {
    RunObject(kCommandBox);
    Frame();
    const Vector3 eye = camera().eye;
    ShiftDown(3);
    Frame();
    ShiftUp();
    Frame();
    EXPECT_EQ(VecEqual(camera().eye, eye), kTrue);
    EXPECT_EQ(VecEqual(light().position, eye), kTrue);
    EXPECT_EQ(scene->meshRange.count, 1);
}

TEST_F(LightPlacement, DragsSteerTheLightAndThePointerThenTheCameraJumpsThere) {
    RunObject(kCommandSphere);
    Frame();
    const Vector3 eye = camera().eye;
    ShiftDown();
    Move(0, 50, 36);
    for (int x = 49; x >= 0; --x) Move(kMouseLeft, x, 36 - (50 - x) / 2);  // up and to the left
    Frame();
    EXPECT_EQ(VecEqual(camera().eye, eye), kTrue);
    const Vector3 placed = light().position;
    EXPECT_GT(VecDistance(placed, eye), 50.0f);
    EXPECT_NEAR(VecLength(placed), 200.0f, 1e-3f);

    // The pointer sits just beyond the light on the line from the origin, apex outward.
    UpdateWorldVertices(*scene, *work);
    const Mesh& cone = pointer();
    Vector3 outward;
    VecNormalize(placed, outward);
    for (std::int32_t v = cone.firstVertex; v <= LastVertex(cone); ++v) {
        const Vector3& p = work->worldVertices[v];
        const float along = VecDot(p, outward);
        EXPECT_TRUE(std::fabs(along - 210.0f) < 1e-2f || std::fabs(along - 230.0f) < 1e-2f) << along;
        if (along > 220.0f) {
            Vector3 onAxis;
            VecScale(outward, 230.0f, onAxis);
            EXPECT_LT(VecDistance(p, onAxis), 1e-2f);
        }
    }

    ShiftUp();
    Frame();
    EXPECT_LT(VecDistance(camera().eye, placed), 1e-3f);
    EXPECT_EQ(VecEqual(light().position, camera().eye), kTrue);
}

TEST_F(LightPlacement, PointerHidesTheHoverAndClicksDoNothing) {
    scene->cameraTable[1].renderMode = 1;
    RunObject(kCommandSphere);
    Frame();
    const std::int32_t nearest = LastListed();
    const Point2 at = CentreOnScreen(nearest);
    Move(0, at.x, at.y);
    ASSERT_EQ(state.hoverFace, nearest);
    const std::int32_t hovered = state.hoverFace;
    ShiftDown();
    EXPECT_EQ(Move(0, at.x + 1, at.y).cursor, CursorShape::Arrow);
    EXPECT_EQ(state.hoverFace, hovered);  // picks nothing while the pointer exists
    const ColorRGB before = scene->facePool[hovered].color;
    state.paintColor = 0x00123456;
    scene->frameDirty = kFalse;
    PaintHoveredFace(*scene, state);
    EXPECT_EQ(scene->facePool[hovered].color, before);
    EXPECT_EQ(scene->frameDirty, kFalse);
    EXPECT_FALSE(TakeHoveredFaceColor(*scene, state).repaintShine);
    EXPECT_EQ(state.paintColor, 0x00123456u);
}

TEST_F(LightPlacement, TheDeletedPointerIsNeverHoveredBeforeTheNextFrame) {
    scene->cameraTable[1].renderMode = 1;
    RunObject(kCommandSphere);
    Frame();
    ShiftDown();
    Move(0, 48, 36);
    Move(kMouseRight, 48, 36 - 150);  // the light comes between the camera and the sphere
    Frame();
    std::int32_t pointerFace = 0;
    for (std::int32_t i = 0; work->drawList[i] != 0; ++i) {
        const std::int32_t face = work->drawList[i];
        if (face >= pointer().firstFace && face <= LastFace(pointer())) pointerFace = face;
    }
    ASSERT_NE(pointerFace, 0) << "the pointer is not in the frame";
    const Point2 at = CentreOnScreen(pointerFace);
    ShiftUp();
    // The picture still shows the pointer, but its faces are gone from the scene.
    Move(0, at.x, at.y);
    EXPECT_EQ(state.hoverFace, 0);
    Frame();  // picking resumes with the frame that no longer shows it
    const Point2 nearest = CentreOnScreen(LastListed());
    Move(0, nearest.x, nearest.y);
    EXPECT_EQ(state.hoverFace, LastListed());
}

TEST_F(LightPlacement, AFullStoreLeavesNoPointerUntilTheNextRepeat) {
    const std::int32_t filler = AllocateMesh(*scene, kLastSlot, 1);
    ASSERT_NE(filler, 0);
    ShiftDown();
    EXPECT_EQ(state.lightPointer, 0);
    EXPECT_NE(state.lightPlacement, kFalse);
    EXPECT_FALSE(errors.texts.empty());
    ShiftUp();
    EXPECT_EQ(scene->meshRange.count, 1);  // the filler survives Shift up

    ShiftDown();
    DeleteMesh(*scene, filler);
    ShiftDown();
    EXPECT_NE(state.lightPointer, 0);
    EXPECT_EQ(scene->meshRange.count, 1);
}

}  // namespace
}  // namespace vantrel
