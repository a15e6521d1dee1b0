#include <gtest/gtest.h>

#include <memory>

#include "geometry/random.h"
#include "scene/mesh_store.h"
#include "support/error_recorder.h"
#include "support/scene_invariants.h"

namespace vantrel {
namespace {

class MeshStore : public testing::Test {
protected:
    void SetUp() override { scene->reporter = errors.Reporter(); }

    // A mesh whose vertices are numbered by position and whose faces fan over them.
    std::int32_t MakeFan(std::int32_t vertexCount, std::int32_t faceCount, float x = 0) {
        const std::int32_t m = AllocateMesh(*scene, vertexCount, faceCount);
        if (m == 0) return 0;
        const Mesh& mesh = scene->meshTable[m];
        for (std::int32_t i = 0; i < vertexCount; ++i) scene->vertexPool[mesh.firstVertex + i] = {x, float(i), 0};
        for (std::int32_t f = 0; f < faceCount; ++f) {
            Face& face = scene->facePool[mesh.firstFace + f];
            face.corner0 = mesh.firstVertex;
            face.corner1 = mesh.firstVertex + 1 + f % (vertexCount - 2);
            face.corner2 = face.corner1 + 1;
        }
        return m;
    }

    std::unique_ptr<Scene> scene = std::make_unique<Scene>();
    ErrorRecorder errors;
};

TEST_F(MeshStore, AllocatesRunsBackToBackAndReusesTheFirstFittingGap) {
    EXPECT_EQ(AllocateMesh(*scene, 8, 12), 1);
    EXPECT_EQ(AllocateMesh(*scene, 4, 4), 2);
    EXPECT_EQ(scene->meshTable[1].firstVertex, 1);
    EXPECT_EQ(scene->meshTable[1].firstFace, 1);
    EXPECT_EQ(scene->meshTable[2].firstVertex, 9);
    EXPECT_EQ(scene->meshTable[2].firstFace, 13);
    EXPECT_EQ(scene->meshTable[2].visible, kTrue);
    EXPECT_EQ(scene->meshTable[2].matrixDirty, kTrue);
    EXPECT_EQ(scene->meshTable[2].scale.x, 1.0f);

    DeleteMesh(*scene, 1);  // frees vertices 1..8 and faces 1..12
    const std::int32_t fits = AllocateMesh(*scene, 5, 12);
    EXPECT_EQ(scene->meshTable[fits].firstVertex, 1);
    EXPECT_EQ(scene->meshTable[fits].firstFace, 1);
    const std::int32_t tooBig = AllocateMesh(*scene, 9, 1);
    EXPECT_EQ(scene->meshTable[tooBig].firstVertex, 13);  // appended behind the highest run
    EXPECT_EQ(scene->meshTable[tooBig].firstFace, 17);
    EXPECT_TRUE(errors.texts.empty());
    EXPECT_EQ(CheckSceneInvariants(*scene), "");
}

TEST_F(MeshStore, RunsPastTheLastSlotFailEvenWithScatteredGaps) {
    for (int i = 0; i < 10; ++i) ASSERT_NE(AllocateMesh(*scene, 1000, 10), 0);
    for (std::int32_t m : {9, 7, 5, 3, 1}) DeleteMesh(*scene, m);  // five gaps of 1000
    EXPECT_EQ(AllocateMesh(*scene, 1001, 1), 0);
    ASSERT_EQ(errors.texts.size(), 1u);
    EXPECT_EQ(errors.texts[0], "Unable to allocate memory for mesh!");
    EXPECT_EQ(scene->meshRange.count, 5);
    EXPECT_NE(AllocateMesh(*scene, 1000, 1), 0);

    EXPECT_EQ(AllocateMesh(*scene, -1, 0), 0);  // a negative request is refused, not wrapped
    EXPECT_EQ(AllocateMesh(*scene, 0x7FFFFFFF, 0), 0);
    EXPECT_EQ(errors.texts.size(), 3u);
    EXPECT_EQ(CheckSceneInvariants(*scene), "");
}

TEST_F(MeshStore, EmptyMeshesFailOnlyWhenTheTableIsFull) {
    for (std::int32_t i = 1; i <= kLastSlot; ++i) ASSERT_EQ(AllocateMesh(*scene, 0, 0), i);
    EXPECT_TRUE(errors.texts.empty());
    EXPECT_EQ(AllocateMesh(*scene, 0, 0), 0);
    EXPECT_EQ(errors.texts.size(), 1u);
}

TEST_F(MeshStore, DeletingRenumbersParentsAndClearsTheLastSlot) {
    for (int i = 0; i < 4; ++i) MakeFan(4, 2);
    scene->meshTable[1].parent = 2;
    scene->meshTable[3].parent = 2;
    scene->meshTable[4].parent = 3;
    DeleteMesh(*scene, 2);
    EXPECT_EQ(scene->meshRange.count, 3);
    EXPECT_EQ(scene->meshTable[1].parent, 0);  // its parent is gone
    EXPECT_EQ(scene->meshTable[2].parent, 0);  // the former mesh 3
    EXPECT_EQ(scene->meshTable[3].parent, 2);  // the former mesh 4 follows its parent down
    EXPECT_EQ(scene->meshTable[4].vertexCount, 0);
    EXPECT_EQ(MatEqual(scene->meshTable[4].world, Matrix4{}), kTrue);
}

TEST_F(MeshStore, RepackDuplicateAndMergeReturnTheMovedSlots) {
    const std::int32_t a = MakeFan(6, 4);
    SetMeshName(scene->meshTable[a], "first");
    EXPECT_EQ(RepackMesh(*scene, a), 1);  // the last mesh keeps its slot
    EXPECT_STREQ(scene->meshTable[1].name, "first");

    MakeFan(5, 3, 10);
    MakeFan(4, 2, 20);
    const std::int32_t copy = DuplicateMesh(*scene, 2);
    EXPECT_EQ(copy, 4);
    EXPECT_EQ(scene->meshTable[4].vertexCount, 5);
    for (std::int32_t k = 0; k < 5; ++k) {
        EXPECT_EQ(VecEqual(scene->vertexPool[scene->meshTable[4].firstVertex + k],
                           scene->vertexPool[scene->meshTable[2].firstVertex + k]),
                  kTrue);
    }
    EXPECT_EQ(CheckSceneInvariants(*scene), "");

    DeleteMesh(*scene, 4);
    const std::int32_t merged = MergeMeshes(*scene, 3, 2);
    EXPECT_EQ(merged, 2);
    EXPECT_EQ(scene->meshRange.count, 2);
    const Mesh& m = scene->meshTable[merged];
    EXPECT_EQ(m.vertexCount, 9);
    EXPECT_EQ(m.faceCount, 5);
    EXPECT_EQ(scene->vertexPool[m.firstVertex].x, 20.0f);       // the later mesh comes first
    EXPECT_EQ(scene->vertexPool[m.firstVertex + 4].x, 10.0f);   // then the earlier one
    EXPECT_EQ(scene->facePool[m.firstFace + 2].corner0, m.firstVertex + 4);
    EXPECT_EQ(CheckSceneInvariants(*scene), "");
}

TEST_F(MeshStore, PlaceholderCornersStayZeroWhenAMeshMoves) {
    const std::int32_t point = AllocateMesh(*scene, 1, 1);
    scene->facePool[scene->meshTable[point].firstFace] = Face{};
    MakeFan(4, 2);
    const std::int32_t moved = RelocateMeshToEnd(*scene, 1);
    const Face& face = scene->facePool[scene->meshTable[moved].firstFace];
    EXPECT_EQ(face.corner0 | face.corner1 | face.corner2, 0);
    EXPECT_EQ(CheckSceneInvariants(*scene), "");
}

TEST_F(MeshStore, RelocateWithoutRoomLeavesTheSceneAsItWas) {
    const std::int32_t big = MakeFan(6000, 10);
    MakeFan(3000, 10);  // behind it, so 6000 more slots do not fit
    const Mesh before = scene->meshTable[big];
    const Vector3 vertex = scene->vertexPool[before.firstVertex + 7];
    EXPECT_EQ(RelocateMeshToEnd(*scene, big), 0);
    ASSERT_EQ(errors.texts.size(), 1u);
    EXPECT_EQ(scene->meshRange.count, 2);
    EXPECT_EQ(scene->meshTable[big].firstVertex, before.firstVertex);
    EXPECT_EQ(scene->meshTable[big].vertexCount, 6000);
    EXPECT_EQ(VecEqual(scene->vertexPool[before.firstVertex + 7], vertex), kTrue);
    EXPECT_EQ(scene->meshTable[3].vertexCount, 0);  // no stray record left behind
    EXPECT_EQ(CheckSceneInvariants(*scene), "");

    DeleteMesh(*scene, big);
    const std::int32_t small = MakeFan(10, 3);  // first fit: in front of the remaining mesh
    EXPECT_EQ(scene->meshTable[small].firstVertex, 1);
    EXPECT_EQ(RelocateMeshToEnd(*scene, small), small);  // with room, it moves behind the others
    EXPECT_GT(scene->meshTable[small].firstVertex, LastVertex(scene->meshTable[1]));
    EXPECT_EQ(CheckSceneInvariants(*scene), "");
}

TEST_F(MeshStore, DeleteVertexRenumbersOrDropsFaces) {
    const std::int32_t m = MakeFan(5, 3);  // faces (1,2,3) (1,3,4) (1,4,5)
    DeleteVertex(*scene, 3, 2);
    EXPECT_EQ(scene->meshTable[m].vertexCount, 4);
    const Face& first = scene->facePool[1];
    EXPECT_EQ(first.corner2, 2);  // 3 replaced by 2
    EXPECT_EQ(scene->facePool[3].corner2, 4);  // 5 moved down to 4
    DeleteVertex(*scene, 1, 0);  // every face used vertex 1
    EXPECT_EQ(scene->meshTable[m].faceCount, 0);
    EXPECT_EQ(scene->facePool[1].corner0, 0);  // vacated slots are cleared
}

TEST_F(MeshStore, BoundingBoxCentringAndColouring) {
    const std::int32_t m = AllocateMesh(*scene, 3, 1);
    const std::int32_t v = scene->meshTable[m].firstVertex;
    scene->vertexPool[v] = {2, 4, -6};
    scene->vertexPool[v + 1] = {10, -4, 6};
    scene->vertexPool[v + 2] = {4, 0, 0};
    Vector3 centre;
    MeshCentre(*scene, m, centre);
    EXPECT_EQ(VecEqual(centre, {6, 0, 0}), kTrue);
    CentreMesh(*scene, m);
    EXPECT_EQ(VecEqual(scene->vertexPool[v], {-4, 4, -6}), kTrue);
    SetMeshColor(*scene, m, {1, 2, 3}, 0.25f);
    EXPECT_EQ(scene->facePool[scene->meshTable[m].firstFace].color, (ColorRGB{1, 2, 3}));
    EXPECT_EQ(scene->facePool[scene->meshTable[m].firstFace].shine, 0.25f);

    const std::int32_t empty = AllocateMesh(*scene, 0, 0);
    MeshCentre(*scene, empty, centre);  // must not read past the pool
    EXPECT_EQ(VecEqual(centre, {0, 0, 0}), kTrue);
}

TEST_F(MeshStore, NamesAreCutTo127Characters) {
    const std::int32_t m = AllocateMesh(*scene, 0, 0);
    const std::string longName(300, 'x');
    SetMeshName(scene->meshTable[m], longName.c_str());
    EXPECT_EQ(std::string(scene->meshTable[m].name), std::string(127, 'x'));
}

// Random operations from a fixed seed must keep every structural promise of the store.
TEST_F(MeshStore, RandomOperationsKeepTheTablesConsistent) {
    Random random;
    RandomSeed(random, 777.0);
    auto pick = [&](int n) { return std::int32_t(RandomUniform(random) * float(n)); };
    for (int step = 0; step < 3000; ++step) {
        const std::int32_t count = scene->meshRange.count;
        const std::int32_t some = count > 0 ? 1 + pick(count) : 0;
        switch (pick(9)) {
            case 0:
            case 1: MakeFan(3 + pick(400), 1 + pick(300), float(pick(4))); break;
            case 2: if (some) DeleteMesh(*scene, some); break;
            case 3: if (some) DuplicateMesh(*scene, some); break;
            case 4: if (some) RepackMesh(*scene, some); break;
            case 5: if (some) RelocateMeshToEnd(*scene, some); break;
            case 6: if (count >= 2) MergeMeshes(*scene, count, 1 + pick(count - 1)); break;
            case 7: if (some) WeldMesh(*scene, some); break;
            case 8:
                if (some && scene->meshTable[some].vertexCount > 0) {
                    const Mesh& mesh = scene->meshTable[some];
                    if (pick(2)) {
                        DeleteVertex(*scene, mesh.firstVertex + pick(mesh.vertexCount), 0);
                    } else if (mesh.faceCount > 0) {
                        DeleteFace(*scene, mesh.firstFace + pick(mesh.faceCount));
                    }
                }
                break;
        }
        const std::string problem = CheckSceneInvariants(*scene);
        ASSERT_EQ(problem, "") << "after step " << step;
    }
}

}  // namespace
}  // namespace vantrel
