#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <set>
#include <tuple>

#include "object_test_support.h"
#include "objects/command_ids.h"
#include "objects/object_commands.h"
#include "objects/solids.h"

namespace vantrel {
namespace {

using testing::ErrorLog;

struct SolidCase {
    int id;
    const char* name;
    std::int32_t vertices;
    std::int32_t faces;
    bool closed;
};

void PrintTo(const SolidCase& solid, std::ostream* out) { *out << solid.name; }

class SolidCommand : public ::testing::TestWithParam<SolidCase> {};

TEST_P(SolidCommand, BuildsTheListedSizeInOneColourWithOutwardFaces) {
    const SolidCase& solid = GetParam();
    Scene scene;
    ErrorLog log;
    testing::StartScene(scene, log);
    Random random;
    RandomSeed(random, 1234.5);
    const std::int32_t mesh = RunObjectCommand(scene, random, solid.id);

    ASSERT_EQ(mesh, 1);
    EXPECT_EQ(scene.currentMesh, 1);
    EXPECT_EQ(scene.meshRange.count, 1);
    EXPECT_EQ(scene.frameDirty, kTrue);
    EXPECT_EQ(log.count, 0);
    const Mesh& m = scene.meshTable[mesh];
    EXPECT_EQ(m.vertexCount, solid.vertices);
    EXPECT_EQ(m.faceCount, solid.faces);

    // Centred by its bounding box.
    Vector3 centre;
    MeshCentre(scene, mesh, centre);
    EXPECT_NEAR(centre.x, 0, 1e-4);
    EXPECT_NEAR(centre.y, 0, 1e-4);
    EXPECT_NEAR(centre.z, 0, 1e-4);

    const Face& firstFace = scene.facePool[m.firstFace];
    for (std::int32_t f = m.firstFace; f <= LastFace(m); ++f) {
        const Face& face = scene.facePool[f];
        EXPECT_EQ(face.color, firstFace.color) << "face " << f;
        EXPECT_EQ(face.shine, 0.5f);
        for (std::int32_t corner : {face.corner0, face.corner1, face.corner2}) {
            EXPECT_TRUE(VertexInMesh(scene, corner, mesh)) << "face " << f;
        }
        const Vector3 normal = testing::FaceNormal(scene, face);
        ASSERT_GT(VecLength(normal), 1e-3) << "degenerate face " << f;
        if (solid.id == kCommandGrid) {
            EXPECT_GT(normal.y, 0) << "face " << f;
        } else if (solid.id == kCommandTorus) {
            // Out of the tube: away from the ring's centre line.
            const Vector3 c = testing::FaceCentroid(scene, face);
            const float around = std::hypot(c.x, c.z);
            const Vector3 outward = {c.x - 40 * c.x / around, c.y, c.z - 40 * c.z / around};
            EXPECT_GT(VecDot(normal, outward), 0) << "face " << f;
        } else {
            // The other solids are convex: every face looks away from the centre.
            EXPECT_GT(VecDot(normal, testing::FaceCentroid(scene, face)), 0) << "face " << f;
        }
    }
    if (solid.closed) {
        EXPECT_TRUE(testing::IsClosedAndConsistent(scene, mesh));
        EXPECT_GT(testing::SignedVolume(scene, mesh), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    SizeTable, SolidCommand,
    ::testing::Values(SolidCase{kCommandBox, "Box", 8, 12, true}, SolidCase{kCommandGrid, "Grid", 25, 32, false},
                      SolidCase{kCommandSphere, "Sphere", 114, 224, true},
                      SolidCase{kCommandHemisphere, "Hemisphere", 66, 128, true},
                      SolidCase{kCommandCone, "Cone", 18, 32, true},
                      SolidCase{kCommandCylinder, "Cylinder", 34, 64, true},
                      SolidCase{kCommandPie, "Pie", 14, 22, false},
                      SolidCase{kCommandTetrahedron, "Tetrahedron", 4, 4, true},
                      SolidCase{kCommandOctahedron, "Octahedron", 6, 8, true},
                      SolidCase{kCommandGeoSphere, "GeoSphere", 66, 128, true},
                      SolidCase{kCommandTorus, "Torus", 128, 256, true}),
    [](const ::testing::TestParamInfo<SolidCase>& info) { return std::string(info.param.name); });

class Solids : public ::testing::Test {
protected:
    void SetUp() override { testing::StartScene(scene, log); }
    Random random;
    Scene scene;
    ErrorLog log;
};

TEST_F(Solids, PlatonicCornersAndSpherePolesSitWhereTheyShould) {
    const Mesh& octahedron = scene.meshTable[MakeSphere(scene, 40, 4, 2)];
    std::set<std::tuple<long, long, long>> corners;
    for (std::int32_t v = octahedron.firstVertex; v <= LastVertex(octahedron); ++v) {
        const Vector3& p = scene.vertexPool[v];
        corners.emplace(std::lround(p.x * 1000), std::lround(p.y * 1000), std::lround(p.z * 1000));
    }
    const std::set<std::tuple<long, long, long>> expected = {{0, 40000, 0}, {0, -40000, 0}, {40000, 0, 0},
                                                             {-40000, 0, 0}, {0, 0, 40000}, {0, 0, -40000}};
    EXPECT_EQ(corners, expected);

    const Mesh& tetrahedron = scene.meshTable[MakeTetrahedron(scene, 40)];
    ASSERT_EQ(tetrahedron.vertexCount, 4);
    for (std::int32_t v = tetrahedron.firstVertex; v <= LastVertex(tetrahedron); ++v) {
        EXPECT_NEAR(VecLength(scene.vertexPool[v]), 40, 1e-4);
    }

    // The sphere's first lattice row is the top pole, its last the bottom pole.
    const Mesh& sphere = scene.meshTable[MakeSphere(scene, 40, 16, 8)];
    EXPECT_NEAR(scene.vertexPool[sphere.firstVertex].y, 40, 1e-4);
    EXPECT_NEAR(scene.vertexPool[LastVertex(sphere)].y, -40, 1e-4);
}

TEST_F(Solids, PieWedgeRimAnglesAndOpenStartSide) {
    const std::int32_t mesh = MakePie(scene, 80, 20, 0, 60, 32);
    const Mesh& m = scene.meshTable[mesh];
    std::vector<double> angles;
    for (std::int32_t v = m.firstVertex; v <= LastVertex(m); ++v) {
        const Vector3& p = scene.vertexPool[v];
        if (p.y != 20 || std::hypot(p.x, p.z) < 1) continue;  // top rim only
        EXPECT_NEAR(std::hypot(p.x, p.z), 80, 1e-3);
        angles.push_back(std::atan2(p.x, p.z) * 180 / std::numbers::pi);
    }
    const double expected[] = {0, 11.25, 22.5, 33.75, 45, 60};
    ASSERT_EQ(angles.size(), std::size(expected));
    for (std::size_t i = 0; i < angles.size(); ++i) EXPECT_NEAR(angles[i], expected[i], 1e-3);

    // The end side (the plane at 60 degrees) has its two faces; the start side (x = 0) has none.
    int endFaces = 0, startFaces = 0;
    for (std::int32_t f = m.firstFace; f <= LastFace(m); ++f) {
        const Vector3 n = testing::FaceNormal(scene, scene.facePool[f]);
        const Vector3 c = testing::FaceCentroid(scene, scene.facePool[f]);
        if (std::fabs(n.y) > 1e-3) continue;
        if (VecCosAngle(n, {0.5f, 0, -std::sqrt(3.0f) / 2}) > 0.9999f) ++endFaces;
        if (std::fabs(c.x) < 1e-3) ++startFaces;
    }
    EXPECT_EQ(endFaces, 2);
    EXPECT_EQ(startFaces, 0);
}

TEST_F(Solids, DoubleSidedGridHasBothFacesOfEveryCell) {
    const std::int32_t mesh = MakeGrid(scene, 80, 80, 4, 4, FaceSides::Double);
    const Mesh& m = scene.meshTable[mesh];
    ASSERT_EQ(m.faceCount, 64);
    int up = 0, down = 0;
    for (std::int32_t f = m.firstFace; f <= LastFace(m); ++f) {
        const float y = testing::FaceNormal(scene, scene.facePool[f]).y;
        (y > 0 ? up : down) += 1;
    }
    EXPECT_EQ(up, 32);
    EXPECT_EQ(down, 32);
}

TEST_F(Solids, LatticeThatRunsOutOfRoomReportsOnceAndLeavesNothing) {
    // A mesh whose runs end 50 slots before the end of both pools.
    const std::int32_t filler = AllocateMesh(scene, kLastSlot - 50, kLastSlot - 50);
    ASSERT_NE(filler, 0);
    EXPECT_EQ(MakeSphere(scene, 40, 16, 8), 0);
    EXPECT_EQ(log.meshMemory, 1);
    EXPECT_EQ(scene.meshRange.count, 1);
    // Small enough to fit: a four-sided cone (the light pointer) of 6 vertices and 8 faces.
    const std::int32_t cone = MakeCone(scene, 10, 20, 4);
    EXPECT_EQ(cone, 2);
    EXPECT_EQ(scene.meshTable[cone].vertexCount, 6);
    EXPECT_EQ(scene.meshTable[cone].faceCount, 8);
    EXPECT_EQ(log.count, 1);
}

}  // namespace
}  // namespace vantrel
