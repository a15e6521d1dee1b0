#pragma once
// The palette strip (a vertical colour spectrum the paint colour is picked from) and the shine
// strip (the paint colour as a black-to-colour-to-white ramp with two markers for the shine).
#include <cstdint>

#include "interaction/interaction_state.h"
#include "canvas/device_context.h"
#include "render/projection.h"

namespace vantrel {

// The spectrum over the panel's whole client area, top to bottom.
void DrawPalettePanel(DcHandle dc, const PanelSize& panel);
// The ramp of the paint colour and, mirrored about the centre, two markers as far out as the
// shine is high. Leaves the context's state as it found it.
void DrawShinePanel(DcHandle dc, const PanelSize& panel, const InteractionState& state);

// Any mouse message over the palette. With the left button held the colour shown under (x, y),
// the device pixel of the palette's own context, becomes the paint colour (a point off the
// surface keeps it).
InputResponse PaletteMouse(DcHandle paletteDc, InteractionState& state, std::int32_t keys, std::int32_t x,
                           std::int32_t y);
// Any mouse message over the shine strip, panel and x in logical pixels. With the left button
// held the shine grows with the distance from the strip's centre, reaching 1 at either end and
// staying there beyond.
InputResponse ShineMouse(const PanelSize& panel, InteractionState& state, std::int32_t keys, std::int32_t x);

}  // namespace vantrel
