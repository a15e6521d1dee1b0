#pragma once
// What the mouse and the Shift key have set up between messages, and what a handler asks the
// window layer to do afterwards. The orbit values themselves live in the Orbit record.
#include <cstdint>

#include "geometry/color.h"
#include "geometry/rounding.h"

namespace vantrel {

// Mouse-key flags of a mouse message.
inline constexpr std::int32_t kMouseLeft = 1;
inline constexpr std::int32_t kMouseRight = 2;

// Stock cursors, valued by their system ids; Unchanged leaves the cursor as it is.
enum class CursorShape : std::int32_t {
    Unchanged = 0,
    Arrow = 32512,
    CrossHair = 32515,
    SizeWestEast = 32644,    // horizontal two-way arrow
    SizeNorthSouth = 32645,  // vertical two-way arrow
    SizeAll = 32646,         // four-way arrow
};

struct InteractionState {
    std::int32_t lastMouseX = 0;  // previous mouse move over the view panel, its logical client pixels
    std::int32_t lastMouseY = 0;
    Truth lightPlacement = kFalse;  // Shift held: the orbit places the light, not the camera
    std::int32_t lightPointer = 0;  // mesh slot of the red pointer while Shift is held; 0 none
    std::int32_t hoverFace = 0;      // face under the pointer at the last plain move; 0 none
    std::int32_t highlightFace = 0;  // face whose outline is inverted in the back buffer; 0 none
    // Kept false from a scene change until the next frame: the last frame's draw list and screen
    // positions describe faces that have moved or gone.
    Truth frameMatchesScene = kFalse;
    ColorRef paintColor = 0x00000000;  // what a left click puts on a face
    float paintShine = 0;               // 0..1, likewise
};

// What the window layer does after a handler returns. A frame due is flagged in scene.frameDirty.
struct InputResponse {
    CursorShape cursor = CursorShape::Unchanged;
    bool presentView = false;   // the back buffer changed: show it now, without a new frame
    bool repaintShine = false;  // the shine strip must be redrawn (DrawShinePanel) and shown now
};

}  // namespace vantrel
