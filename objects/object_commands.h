#pragma once
// The Object and Edit menu commands. The caller re-seeds the generator before each command;
// these functions do the command itself and set frameDirty when the scene changed.
#include <cstdint>

#include "geometry/random.h"
#include "scene/scene.h"

namespace vantrel {

bool IsObjectCommand(int id);
bool IsEditCommand(int id);

// Replaces the whole scene (keeping the current camera and light) with what the command builds
// and returns the new currentMesh (0 when building failed). Other ids change nothing.
std::int32_t RunObjectCommand(Scene& scene, Random& random, int id);

// What an Edit command did to the current mesh's slot. A tessellation moves the mesh behind
// every other mesh, so a slot held elsewhere (the light pointer) must follow: SlotAfterEdit.
struct EditOutcome {
    std::int32_t mesh = 0;     // the current mesh afterwards, also stored as currentMesh
    std::int32_t vacated = 0;  // slot the mesh left by moving; 0 when it stayed where it was
    // A tessellation ran: face slots now hold other triangles, so the last frame's picture no
    // longer matches the scene. Recolouring leaves every face where it was.
    bool geometryChanged = false;
};

// Acts on currentMesh; with no live current mesh nothing changes. A tessellation that does not
// fit is reported once and leaves the mesh exactly as it was, colours included.
EditOutcome RunEditCommand(Scene& scene, Random& random, int id);
// The slot of a mesh held by the caller after the edit (the edited mesh itself included).
std::int32_t SlotAfterEdit(const EditOutcome& outcome, std::int32_t heldSlot);

}  // namespace vantrel
