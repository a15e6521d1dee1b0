#pragma once
// Menu and accelerator commands: every command re-seeds the generator from the time of day,
// then the View commands change the view options, the Edit commands the current mesh and the
// Object commands replace the scene.
#include <cstdint>

#include "app/program.h"

namespace vantrel {

// Carries out one command id; ids that name no command are ignored (after the re-seed).
void RunCommand(Program& program, std::int32_t id);

// The View menu's on/off switches (ids 18, 19, 28 to 31): the menu's check mark decides the
// direction, the field stores 8 (Light, Orthographic) or -1 (the others) for on and 0 for off.
void ToggleViewOption(Program& program, std::int32_t id);
// Drawing modes (ids 21 to 26): moves the one check mark and stores renderMode = id - 21.
void SelectRenderMode(Program& program, std::int32_t id);

}  // namespace vantrel
