// Draws into the panels' own contexts; reads the palette's pixels back as shown.
#include "interaction/colour_panels.h"

#include <cmath>

#include "canvas/drawing.h"
#include "render/gradients.h"
#include "render/render_target.h"

namespace vantrel {

namespace {

constexpr std::int32_t kAlongX = 1;
constexpr std::int32_t kAlongY = 2;
constexpr std::int32_t kApexOnTop = 1;
constexpr ColorRef kWhite = 0x00FFFFFF;

}  // namespace

void DrawPalettePanel(DcHandle dc, const PanelSize& panel) {
    SpectrumBar(dc, 0, 0, static_cast<float>(panel.width), static_cast<float>(panel.height), kAlongY);
}

void DrawShinePanel(DcHandle dc, const PanelSize& panel, const InteractionState& state) {
    const DcStateGuard keep(dc);
    const float width = static_cast<float>(panel.width);
    const float height = static_cast<float>(panel.height);
    ThreeStopBar(dc, 0, 0, width, height, kAlongX, state.paintColor);
    // White brush through "pen AND NOT destination": a black outline around the ramp inverted.
    RenderTarget target;
    target.dc = dc;
    const float half = width / 2;
    TriangleMarker(target, half + half * state.paintShine, 0, kApexOnTop, height, kWhite, R2_MASKPENNOT);
    TriangleMarker(target, half - half * state.paintShine, 0, kApexOnTop, height, kWhite, R2_MASKPENNOT);
}

InputResponse PaletteMouse(DcHandle paletteDc, InteractionState& state, std::int32_t keys, std::int32_t x,
                           std::int32_t y) {
    InputResponse response;
    response.cursor = CursorShape::CrossHair;
    if (!(keys & kMouseLeft)) return response;
    const ColorRef shown = GetPixel(paletteDc, x, y);
    if (shown != CLR_INVALID) state.paintColor = shown;
    response.repaintShine = true;
    return response;
}

InputResponse ShineMouse(const PanelSize& panel, InteractionState& state, std::int32_t keys, std::int32_t x) {
    InputResponse response;
    response.cursor = CursorShape::SizeWestEast;
    if (!(keys & kMouseLeft) || panel.width <= 0) return response;
    const double half = panel.width / 2.0;
    const double shine = std::fabs(x - half) / half;
    state.paintShine = static_cast<float>(shine > 1 ? 1 : shine);
    response.repaintShine = true;
    return response;
}

}  // namespace vantrel
