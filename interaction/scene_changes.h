#pragma once
// Keeping the slots the interaction holds true to the scene after a menu command changed it.
#include "interaction/interaction_state.h"
#include "objects/object_commands.h"
#include "scene/scene.h"

namespace vantrel {

// After an Object command replaced every mesh: the light pointer went with them (the next
// Shift auto-repeat builds a new one), no hovered face survives, and picking waits for the
// frame of the new scene, which is flagged.
void OnSceneReplaced(Scene& scene, InteractionState& state);
// After an Edit command: the pointer follows the slot shift of a moved mesh. When the command
// rewrote or moved faces, the hover is dropped and picking waits for the next frame; a
// recolour keeps it.
void OnMeshMoved(InteractionState& state, const EditOutcome& outcome);

}  // namespace vantrel
