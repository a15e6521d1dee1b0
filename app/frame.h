#pragma once
// The frame cycle and the window side of the render target: UpdateView renders a new frame
// only when one is due, PresentView shows it at once, CopyToView paints the view panel.
#include <cstdint>

#include "app/program.h"

namespace vantrel {

// Does nothing unless frameDirty is set and no error box is open; otherwise places the
// viewpoint, prepares the frame and its overlay, and presents it: the view's repaint draws the
// background over the view panel's area, the scene and the overlay.
void UpdateView(Program& program);
// Repaints the view panel before returning.
void PresentView(Program& program);
// Paints the view panel. A frame prepared by the tick is drawn straight into the panel's memory
// where the canvas offers all of it, else into the back buffer first. Otherwise shows the back
// buffer's pixels at the item rectangle's place in the panel (the rectangle in logical pixels,
// the picture at the program's pixel ratio); nothing before the back buffer exists.
void CopyToView(Program& program, PanelCanvas& canvas, const PanelRect& itemRect);
// Draws the last frame into the back buffer when only the window holds it (or nothing yet),
// before the back buffer is drawn on or shown.
void CatchUpBackBuffer(Program& program);
// Re-creates the back buffer larger when the view panel (in device pixels) has outgrown it, so
// the view never shows pixels no frame was drawn into; smaller only once it holds over four times
// the pixels of the view or the screen, whichever is larger on each side, so an ordinary resize
// never re-creates it. Sides stop at the surface limit.
void FitBackBuffer(Program& program, std::int32_t viewWidth, std::int32_t viewHeight);
// Creates the back buffer of the given size and points its text at the program's font engine.
void CreateProgramBackBuffer(Program& program, std::int32_t width, std::int32_t height);
// Tells the host when timer 1 gains or loses work: a frame due or a Shift release or ratio
// change held back, none of which a tick can act on while an error box is open.
void FollowTicks(Program& program);
// Takes on the window's pixel ratio: a back buffer of the screen's size in device pixels,
// both strips repainted and, once a scene exists, a frame drawn at once.
void AdoptPixelRatio(Program& program);

}  // namespace vantrel
