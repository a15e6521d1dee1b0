#pragma once
// The two colour strips: the palette's vertical spectrum and the shine strip's colour ramp
// with its two markers. Each is painted into its own panel-sized surface, which is what the
// panel shows and what colour picking reads.
#include <cstdint>

#include "app/program.h"

namespace vantrel {

// Makes target a surface of exactly width x height (re-created only when the size changed).
void SizePanelTarget(RenderTarget& target, std::int32_t width, std::int32_t height);

void DrawPalettePanel(Program& program);
// The ramp black - PaintColor - white and two markers mirrored about the centre at the shine.
void DrawShinePanel(Program& program);
// Draws the strip anew and shows it in the item rectangle.
void PaintPanel(Program& program, PanelId panel, PanelCanvas& canvas, const PanelRect& itemRect);

}  // namespace vantrel
