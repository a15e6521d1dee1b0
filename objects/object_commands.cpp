#include "objects/object_commands.h"

#include "objects/command_ids.h"
#include "objects/mesh_colors.h"
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

// Splits the current mesh; it is recoloured white only when the split happened.
EditOutcome RunTessellation(Scene& scene, int id) {
    const std::int32_t before = scene.currentMesh;
    const std::int32_t after = id == kCommandTessellateByFace ? TessellateByFace(scene, before, 1)
                                                              : TessellateByEdge(scene, before, 1);
    if (after == 0) return {before, 0};
    SetMeshColor(scene, after, kWhite, kObjectShine);
    scene.currentMesh = after;
    return {after, after != before ? before : 0};
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
    if (IsSolidCommand(id)) RunSolidCommand(scene, random, id);
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
