#include "interaction/scene_changes.h"

namespace vantrel {

namespace {

// The back buffer still shows the old scene and its outline; the next frame wipes both.
void ForgetHover(InteractionState& state) {
    state.hoverFace = 0;
    state.highlightFace = 0;
    state.frameMatchesScene = kFalse;
}

}  // namespace

void OnSceneReplaced(Scene& scene, InteractionState& state) {
    state.lightPointer = 0;
    ForgetHover(state);
    scene.frameDirty = kTrue;
}

void OnMeshMoved(InteractionState& state, const EditOutcome& outcome) {
    if (state.lightPointer != 0) state.lightPointer = SlotAfterEdit(outcome, state.lightPointer);
    // A recolour leaves every face where the last frame drew it, so a click still paints.
    if (outcome.geometryChanged || outcome.vacated != 0) ForgetHover(state);
}

}  // namespace vantrel
