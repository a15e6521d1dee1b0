#pragma once
// Entry points of the window procedure into mouse and keyboard interaction: orbit drags over
// the view, Shift light placement, the viewpoint placement of each frame, and the palette and
// shine strips. Hover picking and face painting are not here yet: a plain move over the view
// sets the arrow cursor and the button presses over the view change nothing.
#include <cstdint>

#include "app/program.h"

namespace vantrel {

// Mouse move over the view panel with the mouse-key flags, in view coordinates: a left drag
// orbits, a right drag changes the radius, both set frameDirty.
void ViewMouseMove(Program& program, std::int32_t keyFlags, std::int32_t x, std::int32_t y);
void ViewLeftButtonDown(Program& program, std::int32_t keyFlags, std::int32_t x, std::int32_t y);
void ViewRightButtonDown(Program& program, std::int32_t keyFlags, std::int32_t x, std::int32_t y);
// Every mouse message over the strips, in strip coordinates.
void PaletteMouse(Program& program, std::int32_t keyFlags, std::int32_t x, std::int32_t y);
void ShineMouse(Program& program, std::int32_t keyFlags, std::int32_t x, std::int32_t y);

// Shift down (also on auto-repeat) and Shift up.
void EnterLightPlacement(Program& program);
void LeaveLightPlacement(Program& program);

// Step 3 of a frame: the camera (or, while Shift is held, the light) from the orbit state.
void PlaceViewpoint(Program& program);

}  // namespace vantrel
