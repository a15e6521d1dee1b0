#pragma once
// The two colour strips as the window shows them: each is painted into its own panel-sized
// surface, which is what the panel shows and what colour picking reads.
#include <cstdint>

#include "app/program.h"

namespace vantrel {

// Makes target a surface of exactly width x height device pixels (re-created only when the size changed).
void SizePanelTarget(RenderTarget& target, std::int32_t width, std::int32_t height);
// Draws the palette or the shine strip anew into its surface and shows it in the item rectangle.
void PaintPanel(Program& program, PanelId panel, PanelCanvas& canvas, const PanelRect& itemRect);

}  // namespace vantrel
