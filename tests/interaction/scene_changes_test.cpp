#include <gtest/gtest.h>

#include "interaction/scene_changes.h"
#include "interaction_fixture.h"
#include "scene/mesh_store.h"

namespace vantrel {
namespace {

struct SceneChanges : ::testing::Test, InteractionFixture {
    void ObjectCommand(int id) {
        RunObject(id);
        OnSceneReplaced(*scene, state);
    }
    void EditCommand(int id) {
        const EditOutcome outcome = RunEditCommand(*scene, random, id);
        OnMeshMoved(state, outcome);
    }
    // Hovers the nearest face of the last frame and returns it.
    std::int32_t HoverNearest() {
        const std::int32_t face = LastListed();
        const Point2 at = CentreOnScreen(face);
        Move(0, at.x, at.y);
        return state.hoverFace;
    }
    bool MeshIsPointer(std::int32_t mesh) const {
        const Mesh& record = scene->meshTable[mesh];
        return record.vertexCount == 6 && record.faceCount == 8 &&
               scene->facePool[record.firstFace].color == ColorRGB{255, 0, 0};
    }
};

TEST_F(SceneChanges, ObjectCommandWhileShiftIsHeldForgetsTheOldPointer) {
    EnterLightPlacement(*scene, state);
    ASSERT_EQ(state.lightPointer, 1);
    ObjectCommand(kCommandSphere);  // the sphere now holds slot 1
    ASSERT_EQ(scene->currentMesh, 1);
    EXPECT_EQ(state.lightPointer, 0);
    const std::int32_t sphereFaces = scene->meshTable[1].faceCount;

    Frame();  // no mesh is placed as the pointer
    EXPECT_EQ(VecEqual(scene->meshTable[1].position, Vector3{}), kTrue);

    EnterLightPlacement(*scene, state);  // the auto-repeat brings a pointer back
    EXPECT_EQ(state.lightPointer, 2);
    EXPECT_TRUE(MeshIsPointer(2));
    LeaveLightPlacement(*scene, state);
    ASSERT_EQ(scene->meshRange.count, 1);
    EXPECT_EQ(scene->meshTable[1].faceCount, sphereFaces);

    // Released before any repeat: Shift up deletes nothing.
    EnterLightPlacement(*scene, state);
    ObjectCommand(kCommandBox);
    LeaveLightPlacement(*scene, state);
    EXPECT_EQ(scene->meshRange.count, 1);
    EXPECT_EQ(scene->meshTable[1].faceCount, 12);
}

TEST_F(SceneChanges, ObjectCommandDropsTheHoverUntilTheNextFrame) {
    ObjectCommand(kCommandTorus);
    Frame();
    const std::int32_t hovered = HoverNearest();
    ASSERT_NE(hovered, 0);
    ASSERT_EQ(state.highlightFace, hovered);

    ObjectCommand(kCommandBox);  // twelve faces: the old face slot no longer exists
    EXPECT_EQ(state.hoverFace, 0);
    EXPECT_EQ(state.highlightFace, 0);
    EXPECT_NE(scene->frameDirty, kFalse);

    // The last frame's draw list still names torus faces: nothing is picked or painted from it.
    const Point2 at = CentreOnScreen(hovered);
    const InputResponse response = Move(0, at.x, at.y);
    EXPECT_EQ(state.hoverFace, 0);
    EXPECT_EQ(response.cursor, CursorShape::Arrow);
    EXPECT_FALSE(response.presentView);
    state.paintColor = 0x0000FF00;
    PaintHoveredFace(*scene, state);
    EXPECT_NE(scene->facePool[hovered].color, (ColorRGB{0, 255, 0}));

    Frame();
    EXPECT_NE(HoverNearest(), 0);  // picking resumes with the new frame
}

TEST_F(SceneChanges, RecolouringKeepsTheHoverButTessellatingDropsIt) {
    ObjectCommand(kCommandSphere);
    Frame();
    const std::int32_t hovered = HoverNearest();
    ASSERT_NE(hovered, 0);
    const Point2 at = CentreOnScreen(hovered);

    // Rename and the colour commands leave every face where the last frame drew it.
    for (const int id : {kCommandRename, kCommandColorWhite, kCommandColorRandom, kCommandColorGradient}) {
        EditCommand(id);
        EXPECT_EQ(state.hoverFace, hovered) << id;
        EXPECT_EQ(state.highlightFace, hovered) << id;
    }
    // A click without moving the mouse paints the face, and a move over it still picks it.
    state.paintColor = 0x0000FF00;
    PaintHoveredFace(*scene, state);
    EXPECT_EQ(scene->facePool[hovered].color, (ColorRGB{0, 255, 0}));
    Move(0, at.x, at.y);
    EXPECT_EQ(state.hoverFace, hovered);

    EditCommand(kCommandTessellateByFace);  // every face slot now holds a different triangle
    EXPECT_EQ(state.hoverFace, 0);
    EXPECT_EQ(state.highlightFace, 0);
    const Face before = scene->facePool[hovered];
    state.paintColor = 0x00FF00FF;
    PaintHoveredFace(*scene, state);
    EXPECT_EQ(scene->facePool[hovered].color, before.color);
    Move(0, at.x, at.y);  // the last frame shows the old triangles: nothing is picked from it
    EXPECT_EQ(state.hoverFace, 0);
}

TEST_F(SceneChanges, TessellatingUnderTheHeldPointerKeepsBothSlotsRight) {
    ObjectCommand(kCommandSphere);
    const std::int32_t sphereFaces = scene->meshTable[1].faceCount;
    EnterLightPlacement(*scene, state);
    ASSERT_EQ(state.lightPointer, 2);

    EditCommand(kCommandTessellateByFace);  // the sphere moves behind the pointer
    EXPECT_EQ(state.lightPointer, 1);
    EXPECT_TRUE(MeshIsPointer(1));
    EXPECT_EQ(scene->currentMesh, 2);
    EXPECT_EQ(scene->meshTable[2].faceCount, 3 * sphereFaces);

    EditCommand(kCommandColorWhite);  // nothing moves
    EXPECT_EQ(state.lightPointer, 1);
    EXPECT_TRUE(MeshIsPointer(1));

    LeaveLightPlacement(*scene, state);
    ASSERT_EQ(scene->meshRange.count, 1);
    EXPECT_EQ(scene->meshTable[1].faceCount, 3 * sphereFaces);
    EXPECT_EQ(scene->currentMesh, 1);
}

}  // namespace
}  // namespace vantrel
