#pragma once
// The frame cycle and the window side of the render target: UpdateView renders a new frame
// only when one is due, PresentView shows it at once, CopyToView paints the view panel.
#include <cstdint>

#include "app/program.h"

namespace vantrel {

// Does nothing unless frameDirty is set and no error box is open; otherwise places the
// viewpoint, paints the background over the view panel's area, renders the scene, draws the
// overlay and presents the back buffer.
void UpdateView(Program& program);
// Repaints the view panel from the back buffer before returning.
void PresentView(Program& program);
// Shows the back buffer's pixels at the item rectangle's place in the panel (the rectangle in
// logical pixels, the picture at the program's pixel ratio); nothing before the back buffer exists.
void CopyToView(const Program& program, PanelCanvas& canvas, const PanelRect& itemRect);
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
