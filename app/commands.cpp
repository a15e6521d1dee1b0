#include "app/commands.h"

#include "app/command_ids.h"
#include "objects/command_ids.h"
#include "interaction/scene_changes.h"
#include "objects/object_commands.h"

namespace vantrel {
namespace {

constexpr std::int32_t kMenuCheckFlag = 8;  // what the menu reports for a check mark

Camera* CurrentCamera(Program& program) {
    const std::int32_t slot = program.scene.currentCamera;
    return slot > 0 && slot <= kLastSlot ? &program.scene.cameraTable[slot] : nullptr;
}

Light* CurrentLight(Program& program) {
    const std::int32_t slot = program.scene.currentLight;
    return slot > 0 && slot <= kLastSlot ? &program.scene.lightTable[slot] : nullptr;
}

// The field a switch stores into, or nullptr when its record does not exist.
std::int32_t* SwitchField(Program& program, std::int32_t id) {
    if (id == kCommandLight) {
        Light* light = CurrentLight(program);
        return light ? &light->enabled : nullptr;
    }
    Camera* camera = CurrentCamera(program);
    if (!camera) return nullptr;
    switch (id) {
        case kCommandOrthographic: return &camera->orthographic;
        case kCommandDoubleSided: return &camera->doubleSided;
        case kCommandMetallic: return &camera->metallic;
        case kCommandAtmosphere: return &camera->atmosphere;
        case kCommandColorCorrect: return &camera->colorCorrect;
        default: return nullptr;
    }
}

bool IsViewSwitch(std::int32_t id) {
    return id == kCommandLight || id == kCommandOrthographic || (id >= kCommandDoubleSided && id <= kCommandColorCorrect);
}

void RunObject(Program& program, std::int32_t id) {
    RunObjectCommand(program.scene, program.random, id);
    OnSceneReplaced(program.scene, program.interaction);
}

void RunEdit(Program& program, std::int32_t id) {
    if (id == kCommandRename) return;  // it has no behaviour and requests no frame
    const EditOutcome outcome = RunEditCommand(program.scene, program.random, id);
    OnMeshMoved(program.interaction, outcome);
}

}  // namespace

void ToggleViewOption(Program& program, std::int32_t id) {
    Host& host = *program.host;
    const bool on = !host.MenuItemChecked(id);
    host.CheckMenuItem(id, on);
    if (std::int32_t* field = SwitchField(program, id)) {
        const bool storesCheckFlag = id == kCommandLight || id == kCommandOrthographic;
        *field = on ? (storesCheckFlag ? kMenuCheckFlag : kTrue) : kFalse;
    }
    program.scene.frameDirty = kTrue;
}

void SelectRenderMode(Program& program, std::int32_t id) {
    Camera* camera = CurrentCamera(program);
    if (!camera) return;
    Host& host = *program.host;
    // A mode outside 0..5 has no item to clear; the chosen item still gets the one mark.
    if (camera->renderMode >= 0 && camera->renderMode < kRenderModeCount) {
        host.CheckMenuItem(kCommandWireframe + camera->renderMode, false);
    }
    host.CheckMenuItem(id, true);
    camera->renderMode = id - kCommandWireframe;
    program.scene.frameDirty = kTrue;
}

void RunCommand(Program& program, std::int32_t id) {
    RandomSeed(program.random, program.host->SecondsSinceMidnight());
    if (IsViewSwitch(id)) {
        ToggleViewOption(program, id);
    } else if (id >= kCommandWireframe && id <= kCommandGradient) {
        SelectRenderMode(program, id);
    } else if (IsEditCommand(id)) {
        RunEdit(program, id);
    } else if (IsObjectCommand(id)) {
        RunObject(program, id);
    }
    // New, Load, Save, Exit, Rename, About, Homepage and unknown ids do nothing more.
}

}  // namespace vantrel
