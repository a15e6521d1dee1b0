#include <gtest/gtest.h>

#include "object_test_support.h"
#include "objects/command_ids.h"
#include "objects/mesh_colors.h"
#include "objects/object_commands.h"
#include "objects/scatter.h"
#include "objects/solids.h"
#include "objects/tessellate.h"

namespace vantrel {
namespace {

using testing::ContentsOf;
using testing::ErrorLog;

class MeshEdits : public ::testing::Test {
protected:
    void SetUp() override {
        testing::StartScene(scene, log);
        RandomSeed(random, 4321.25);
    }
    std::int32_t Build(int id) { return RunObjectCommand(scene, random, id); }
    EditOutcome Edit(int id) { return RunEditCommand(scene, random, id); }
    const Mesh& Current() const { return scene.meshTable[scene.currentMesh]; }
    void ExpectAllWhite(std::int32_t mesh) {
        const Mesh& m = scene.meshTable[mesh];
        for (std::int32_t f = m.firstFace; f <= LastFace(m); ++f) {
            EXPECT_EQ(scene.facePool[f].color, (ColorRGB{255, 255, 255}));
            EXPECT_EQ(scene.facePool[f].shine, 0.5f);
        }
    }
    Scene scene;
    ErrorLog log;
    Random random;
};

TEST_F(MeshEdits, TessellationsGiveTheListedSizesInWhiteWithTheWindingKept) {
    struct Case {
        int object, edit;
        std::int32_t vertices, faces;
    };
    for (const Case c : {Case{kCommandBox, kCommandTessellateByFace, 20, 36},
                         Case{kCommandBox, kCommandTessellateByEdge, 26, 48},
                         Case{kCommandOctahedron, kCommandTessellateByEdge, 18, 32}}) {
        Build(c.object);
        const double volume = testing::SignedVolume(scene, 1);
        scene.frameDirty = kFalse;
        const EditOutcome outcome = Edit(c.edit);
        EXPECT_EQ(outcome.mesh, 1);
        EXPECT_EQ(outcome.vacated, 0);
        EXPECT_EQ(Current().vertexCount, c.vertices);
        EXPECT_EQ(Current().faceCount, c.faces);
        ExpectAllWhite(1);
        // New corners lie on the old faces, so the solid stays closed, outward and the same size.
        EXPECT_TRUE(testing::IsClosedAndConsistent(scene, 1));
        EXPECT_NEAR(testing::SignedVolume(scene, 1), volume, 1e-2 * volume);
        EXPECT_EQ(scene.frameDirty, kTrue);
    }
    EXPECT_EQ(log.count, 0);
}

TEST_F(MeshEdits, RepeatedTessellationStopsAtThePoolsEndAndLosesNothing) {
    Build(kCommandSphere);
    Edit(kCommandTessellateByEdge);
    Edit(kCommandTessellateByEdge);
    ASSERT_EQ(Current().faceCount, 224 * 16);
    ASSERT_EQ(log.count, 0);
    const testing::MeshContents before = ContentsOf(scene, 1);

    const EditOutcome outcome = Edit(kCommandTessellateByEdge);
    EXPECT_EQ(log.meshMemory, 1);
    EXPECT_EQ(log.count, 1);
    EXPECT_EQ(outcome.mesh, 1);
    EXPECT_EQ(outcome.vacated, 0);
    EXPECT_EQ(scene.currentMesh, 1);
    EXPECT_EQ(scene.meshRange.count, 1);
    EXPECT_TRUE(ContentsOf(scene, 1) == before);

    // The same when the split fits but the finished mesh has nowhere to be repacked: the torus's
    // second pass grows to 4096 faces behind a run of 1024.
    Build(kCommandTorus);
    Edit(kCommandColorRandom);
    Edit(kCommandTessellateByEdge);
    Edit(kCommandColorRandom);
    ASSERT_EQ(Current().faceCount, 1024);
    const testing::MeshContents torus = ContentsOf(scene, 1);
    const Mesh record = Current();
    Edit(kCommandTessellateByEdge);
    EXPECT_EQ(log.meshMemory, 2);
    EXPECT_EQ(scene.meshRange.count, 1);
    EXPECT_EQ(Current().firstVertex, record.firstVertex);
    EXPECT_EQ(Current().firstFace, record.firstFace);
    EXPECT_TRUE(ContentsOf(scene, 1) == torus);
}

TEST_F(MeshEdits, EditOfAnOlderMeshMovesItBehindTheNewerOneAndSaysSo) {
    Build(kCommandCone);
    const std::int32_t pointer = MakeCone(scene, 10, 20, 4);  // newer than the current mesh
    ASSERT_EQ(pointer, 2);
    const EditOutcome outcome = Edit(kCommandTessellateByFace);
    EXPECT_EQ(outcome.mesh, 2);
    EXPECT_EQ(outcome.vacated, 1);
    EXPECT_EQ(scene.currentMesh, 2);
    EXPECT_EQ(Current().vertexCount, 18 + 32);
    EXPECT_EQ(Current().faceCount, 96);
    const std::int32_t pointerNow = SlotAfterEdit(outcome, pointer);
    EXPECT_EQ(pointerNow, 1);
    EXPECT_EQ(scene.meshTable[pointerNow].vertexCount, 6);
    EXPECT_EQ(SlotAfterEdit(outcome, 1), 2);  // the edited mesh itself

    // Colour edits never move anything.
    const EditOutcome recolour = Edit(kCommandColorGradient);
    EXPECT_EQ(recolour.vacated, 0);
    EXPECT_EQ(SlotAfterEdit(recolour, 1), 1);

    // A failed split leaves both meshes where they were.
    const std::int32_t filler = AllocateMesh(scene, 1, kLastSlot - scene.meshTable[2].firstFace - 100);
    ASSERT_EQ(filler, 3);
    scene.currentMesh = 1;
    const EditOutcome failed = Edit(kCommandTessellateByEdge);
    EXPECT_EQ(log.meshMemory, 1);
    EXPECT_EQ(failed.mesh, 1);
    EXPECT_EQ(failed.vacated, 0);
    EXPECT_EQ(SlotAfterEdit(failed, 2), 2);
    EXPECT_EQ(scene.meshTable[1].vertexCount, 6);
}

TEST_F(MeshEdits, ColorGradientRunsRedAtTheBottomToBlueAtTheTop) {
    Build(kCommandGrid);
    Edit(kCommandColorGradient);
    for (std::int32_t f = Current().firstFace; f <= LastFace(Current()); ++f) {
        EXPECT_EQ(scene.facePool[f].color, (ColorRGB{255, 0, 0}));  // flat: all the low colour
        EXPECT_EQ(scene.facePool[f].shine, 0.5f);
    }

    Build(kCommandCone);
    Edit(kCommandColorGradient);
    int sides = 0, base = 0;
    for (std::int32_t f = Current().firstFace; f <= LastFace(Current()); ++f) {
        const Face& face = scene.facePool[f];
        if (testing::FaceNormal(scene, face).y < 0) {
            EXPECT_EQ(face.color, (ColorRGB{255, 0, 0}));
            ++base;
        } else {
            EXPECT_EQ(face.color, (ColorRGB{170, 0, 85}));  // centroid a third of the way up
            ++sides;
        }
    }
    EXPECT_EQ(sides, 16);
    EXPECT_EQ(base, 16);
}

TEST_F(MeshEdits, ColorRandomGivesEachFaceItsOwnColourAndShine) {
    Build(kCommandSphere);
    Edit(kCommandColorRandom);
    int sameAsPrevious = 0;
    for (std::int32_t f = Current().firstFace; f <= LastFace(Current()); ++f) {
        const Face& face = scene.facePool[f];
        EXPECT_GE(face.shine, 0.0f);
        EXPECT_LT(face.shine, 1.0f);
        if (f > Current().firstFace && face.color == scene.facePool[f - 1].color) ++sameAsPrevious;
    }
    EXPECT_LT(sameAsPrevious, 3);

    Edit(kCommandColorWhite);
    ExpectAllWhite(1);
}

TEST_F(MeshEdits, PlaceholderFacesAreNeitherShadedNorSplit) {
    const std::int32_t pixel = MakePixel(scene, {1, 2, 3});
    const std::int32_t line = MakeLine(scene, {-5, -5, -5}, {5, 5, 5});
    scene.facePool[scene.meshTable[line].firstFace].color = {1, 2, 3};
    scene.currentMesh = line;
    const testing::MeshContents lineBefore = ContentsOf(scene, line);
    const testing::MeshContents pixelBefore = ContentsOf(scene, pixel);
    Edit(kCommandColorGradient);
    Edit(kCommandTessellateByFace);
    Edit(kCommandTessellateByEdge);
    EXPECT_TRUE(ContentsOf(scene, line) == lineBefore);
    EXPECT_TRUE(ContentsOf(scene, pixel) == pixelBefore);
    EXPECT_EQ(scene.currentMesh, line);
    EXPECT_EQ(scene.meshRange.count, 2);
    EXPECT_EQ(log.count, 0);

    // The colour commands still colour them.
    Edit(kCommandColorWhite);
    ExpectAllWhite(line);
}

TEST_F(MeshEdits, WithoutACurrentMeshTheEditsChangeNothing) {
    Build(kCommandBox);
    const testing::MeshContents before = ContentsOf(scene, 1);
    for (std::int32_t current : {0, 2, -1}) {
        scene.currentMesh = current;
        for (int id : {kCommandColorWhite, kCommandColorRandom, kCommandColorGradient, kCommandTessellateByFace,
                       kCommandTessellateByEdge}) {
            const EditOutcome outcome = Edit(id);
            EXPECT_EQ(outcome.mesh, current);
            EXPECT_EQ(outcome.vacated, 0);
        }
    }
    EXPECT_EQ(scene.meshRange.count, 1);
    EXPECT_TRUE(ContentsOf(scene, 1) == before);
    EXPECT_EQ(log.count, 0);

    // Rename does nothing at all, not even a frame.
    scene.currentMesh = 1;
    scene.frameDirty = kFalse;
    Edit(kCommandRename);
    EXPECT_EQ(scene.frameDirty, kFalse);
    EXPECT_TRUE(ContentsOf(scene, 1) == before);
}

}  // namespace
}  // namespace vantrel
