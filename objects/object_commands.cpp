#include "objects/object_commands.h"

#include <array>

#include "objects/charts.h"
#include "objects/command_ids.h"
#include "objects/mesh_colors.h"
#include "objects/scatter.h"
#include "objects/solids.h"
#include "objects/tessellate.h"
#include "scene/camera.h"
#include "scene/mesh_store.h"

namespace vantrel {

namespace {

constexpr float kObjectShine = 0.5f;
constexpr ColorRGB kWhite{255, 255, 255};
constexpr ColorRGB kRed{255, 0, 0};
constexpr ColorRGB kBlue{0, 0, 255};

void ClearForNewObjects(Scene& scene) { ClearScene(scene, 0, scene.currentCamera, scene.currentLight); }

std::int32_t BuildSolid(Scene& scene, int id) {
    switch (id) {
        case kCommandBox: return MakeBox(scene, {40, 40, 40});
        case kCommandGrid: return MakeGrid(scene, 80, 80, 4, 4, FaceSides::Single);
        case kCommandSphere: return MakeSphere(scene, 40, 16, 8);
        case kCommandHemisphere: return MakeHemisphere(scene, 40, 16, 4);
        case kCommandCone: return MakeCone(scene, 40, 60, 16);
        case kCommandCylinder: return MakeCylinder(scene, 40, 60, 16);
        case kCommandPie: return MakePie(scene, 80, 20, 0, 60, 32);
        case kCommandTetrahedron: return MakeTetrahedron(scene, 40);
        case kCommandOctahedron: return MakeSphere(scene, 40, 4, 2);
        case kCommandGeoSphere: return MakeGeoSphere(scene, 40, 2);
        case kCommandTorus: return MakeTorus(scene, 40, 10, 16, 8);
        default: return 0;
    }
}

bool IsSolidCommand(int id) { return id >= kCommandBox && id <= kCommandTorus; }

// Clear, build, centre on the origin, one random colour with shine 0.5.
void RunSolidCommand(Scene& scene, Random& random, int id) {
    ClearForNewObjects(scene);
    scene.currentMesh = BuildSolid(scene, id);
    ColorRGB color;
    ColorRandom(random, color);
    if (scene.currentMesh != 0) {
        CentreMesh(scene, scene.currentMesh);
        SetMeshColor(scene, scene.currentMesh, color, kObjectShine);
    }
}

// A random point: every coordinate in [-40, 40), drawn x, then y, then z.
Vector3 RandomPoint(Random& random) {
    Vector3 point;
    VecRandomUnitCube(random, point);
    VecScale(point, 40, point);
    return point;
}

std::int32_t BuildScatterObject(Scene& scene, Random& random, int id) {
    switch (id) {
        case kCommandPixel: return MakePixel(scene, RandomPoint(random));
        case kCommandLine: {
            const Vector3 start = RandomPoint(random);
            return MakeLine(scene, start, RandomPoint(random));
        }
        case kCommandText: return MakeText(scene, "3D", RandomPoint(random));
        default: {
            // Four separately drawn points, in the order drawn.
            const Vector3 p1 = RandomPoint(random);
            const Vector3 p2 = RandomPoint(random);
            const Vector3 p3 = RandomPoint(random);
            return MakeCurve(scene, p1, p2, p3, RandomPoint(random));
        }
    }
}

// Many small objects at random places, each current in turn and given its own colour.
void RunScatterCommand(Scene& scene, Random& random, int id) {
    constexpr int kCounts[] = {40, 10, 20, 10};  // Pixel, Line, Text, Curve
    ClearForNewObjects(scene);
    for (int n = 0; n < kCounts[id - kCommandPixel]; ++n) {
        scene.currentMesh = BuildScatterObject(scene, random, id);
        RandomizeFaceColors(scene, random, scene.currentMesh);
    }
}

// Chart entries are drawn one by one: the value, then red, green and blue of its colour.
template <std::size_t N>
void DrawChartEntries(Random& random, std::array<float, N>& values, std::array<ColorRef, N>& colors) {
    for (std::size_t k = 0; k < N; ++k) {
        values[k] = RandomUniform(random);
        ColorRGB color;
        ColorRandom(random, color);
        colors[k] = ColorToColorRef(color);
    }
}

void RunGraphCommand(Scene& scene, Random& random, int id) {
    ClearForNewObjects(scene);
    if (id == kCommandBarGraph) {
        std::array<float, 18> values;
        std::array<ColorRef, 18> colors;
        DrawChartEntries(random, values, colors);
        scene.currentMesh = MakeBarGraph(scene, 6, 3, {80, 40, 40}, 5, values, colors);
    } else if (id == kCommandGridGraph) {
        std::array<float, 25> values;
        std::array<ColorRef, 25> colors;  // drawn to keep the sequence, not used
        DrawChartEntries(random, values, colors);
        scene.currentMesh = MakeGridGraph(scene, 5, 5, {80, 40, 80}, values, kBlue, kRed, FaceSides::Single);
    } else {
        std::array<float, 4> values;
        std::array<ColorRef, 4> colors;
        DrawChartEntries(random, values, colors);
        scene.currentMesh = MakePieGraph(scene, 40, 10, 16, values, colors);
    }
}

// A grid centred flat on the origin, rippled, then shaded blue (low) to red (high).
void RunRippleCommand(Scene& scene) {
    ClearForNewObjects(scene);
    scene.currentMesh = MakeGrid(scene, 80, 80, 10, 10, FaceSides::Single);
    if (scene.currentMesh == 0) return;
    CentreMesh(scene, scene.currentMesh);
    RippleMesh(scene, scene.currentMesh, 40, 20, 0);
    GradientFaceColors(scene, scene.currentMesh, MeshAxis::Y, kBlue, kRed, kObjectShine);
}

// Splits the current mesh; it is recoloured white only when the split happened. A point, line,
// text or curve has nothing to split and keeps its colour.
EditOutcome RunTessellation(Scene& scene, int id) {
    const std::int32_t before = scene.currentMesh;
    if (!HasRealFaces(scene, before)) return {before, 0};
    const std::int32_t after = id == kCommandTessellateByFace ? TessellateByFace(scene, before, 1)
                                                              : TessellateByEdge(scene, before, 1);
    if (after == 0) return {before, 0};
    SetMeshColor(scene, after, kWhite, kObjectShine);
    scene.currentMesh = after;
    return {after, after != before ? before : 0, true};
}

}  // namespace

bool IsObjectCommand(int id) {
    return IsSolidCommand(id) || (id >= kCommandPixel && id <= kCommandCurve) ||
           (id >= kCommandBarGraph && id <= kCommandPieGraph) || id == kCommandRipple;
}

bool IsEditCommand(int id) {
    return id == kCommandRename || id == kCommandColorWhite || id == kCommandColorRandom ||
           id == kCommandColorGradient || id == kCommandTessellateByFace || id == kCommandTessellateByEdge;
}

std::int32_t RunObjectCommand(Scene& scene, Random& random, int id) {
    if (!IsObjectCommand(id)) return scene.currentMesh;
    if (IsSolidCommand(id)) {
        RunSolidCommand(scene, random, id);
    } else if (id >= kCommandPixel && id <= kCommandCurve) {
        RunScatterCommand(scene, random, id);
    } else if (id == kCommandRipple) {
        RunRippleCommand(scene);
    } else {
        RunGraphCommand(scene, random, id);
    }
    scene.frameDirty = kTrue;
    return scene.currentMesh;
}

EditOutcome RunEditCommand(Scene& scene, Random& random, int id) {
    EditOutcome outcome{scene.currentMesh, 0};
    if (!IsEditCommand(id) || id == kCommandRename) return outcome;
    scene.frameDirty = kTrue;
    if (!IsLiveMesh(scene, scene.currentMesh)) return outcome;
    switch (id) {
        case kCommandColorWhite: SetMeshColor(scene, scene.currentMesh, kWhite, kObjectShine); break;
        case kCommandColorRandom: RandomizeFaceColors(scene, random, scene.currentMesh); break;
        case kCommandColorGradient:
            GradientFaceColors(scene, scene.currentMesh, MeshAxis::Y, kRed, kBlue, kObjectShine);
            break;
        default: outcome = RunTessellation(scene, id); break;
    }
    return outcome;
}

std::int32_t SlotAfterEdit(const EditOutcome& outcome, std::int32_t heldSlot) {
    if (outcome.vacated == 0) return heldSlot;
    if (heldSlot == outcome.vacated) return outcome.mesh;
    return heldSlot > outcome.vacated ? heldSlot - 1 : heldSlot;
}

}  // namespace vantrel
