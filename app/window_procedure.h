#pragma once
// The main window's window procedure: every message of the running program arrives here, one
// at a time. It lays out the panels, paints them on request, drives the frame cycle from the
// timer, routes mouse input to the panel under the pointer and carries out every command.
#include <cstdint>

#include "app/message.h"
#include "app/program.h"

namespace vantrel {

// The panels for a client area of width x height: the view, the palette strip at the right
// edge and the shine strip along the bottom edge (covering the corner below the palette).
void LayoutPanelRects(std::int32_t width, std::int32_t height, PanelRect (&out)[kPanelCount + 1]);
// The panel containing the client point, or PanelId::None.
PanelId PanelAtPoint(const ShellState& shell, std::int32_t x, std::int32_t y);

// Handles one message; the result is the one the message asks for (0 where the platform's
// default handling would answer).
std::int64_t WindowProcedure(Program& program, const Message& message);

}  // namespace vantrel
