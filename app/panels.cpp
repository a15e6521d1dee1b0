#include "app/panels.h"

#include "platform/canvas/canvas.h"
#include "render/gradients.h"

namespace vantrel {
namespace {

constexpr std::int32_t kDirectionDown = 2;        // spectrum from top to bottom
constexpr std::int32_t kDirectionAcross = 1;      // ramp from left to right; markers apex up
constexpr ColorRef kMarkerColor = 0x00FFFFFF;
// Pen AND NOT destination: with the marker's black pen and white brush the outline is black
// and the inside shows the ramp inverted.
constexpr std::int32_t kMarkerRop = R2_MASKPENNOT;

}  // namespace

void SizePanelTarget(RenderTarget& target, std::int32_t width, std::int32_t height) {
    const Surface* surface = DcSurface(target.dc);
    if (surface && surface->width == width && surface->height == height) return;
    DestroyBackBuffer(target);
    if (width > 0 && height > 0) CreateBackBuffer(target, width, height);
}

void DrawPalettePanel(Program& program) {
    const PanelRect rect = program.host->PanelClientRect(PanelId::Palette);
    SizePanelTarget(program.paletteTarget, RectWidth(rect), RectHeight(rect));
    SpectrumBar(program.paletteTarget.dc, 0, 0, static_cast<float>(RectWidth(rect)),
                static_cast<float>(RectHeight(rect)), kDirectionDown);
}

void DrawShinePanel(Program& program) {
    const PanelRect rect = program.host->PanelClientRect(PanelId::Shine);
    SizePanelTarget(program.shineTarget, RectWidth(rect), RectHeight(rect));
    const float width = static_cast<float>(RectWidth(rect));
    const float height = static_cast<float>(RectHeight(rect));
    ThreeStopBar(program.shineTarget.dc, 0, 0, width, height, kDirectionAcross, program.pointer.paintColor);
    const float half = width / 2;
    const float offset = half * program.pointer.paintShine;
    TriangleMarker(program.shineTarget, half + offset, 0, kDirectionAcross, height, kMarkerColor, kMarkerRop);
    TriangleMarker(program.shineTarget, half - offset, 0, kDirectionAcross, height, kMarkerColor, kMarkerRop);
}

void PaintPanel(Program& program, PanelId panel, PanelCanvas& canvas, const PanelRect& itemRect) {
    RenderTarget* target = nullptr;
    if (panel == PanelId::Palette) {
        DrawPalettePanel(program);
        target = &program.paletteTarget;
    } else if (panel == PanelId::Shine) {
        DrawShinePanel(program);
        target = &program.shineTarget;
    }
    const Surface* surface = target ? DcSurface(target->dc) : nullptr;
    if (surface) canvas.Show(*surface, itemRect.left, itemRect.top, itemRect);
}

}  // namespace vantrel
