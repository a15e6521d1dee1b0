#include "app/panels.h"

#include "interaction/colour_panels.h"
#include "canvas/canvas.h"

namespace vantrel {

void SizePanelTarget(RenderTarget& target, std::int32_t width, std::int32_t height) {
    const Surface* surface = DcSurface(target.dc);
    if (surface && surface->width == width && surface->height == height) return;
    DestroyBackBuffer(target);
    if (width > 0 && height > 0) CreateBackBuffer(target, width, height);
}

void PaintPanel(Program& program, PanelId panel, PanelCanvas& canvas, const PanelRect& itemRect) {
    const PanelRect client = program.host->PanelClientRect(panel);
    const PanelSize size{RectWidth(client), RectHeight(client)};
    RenderTarget* target = nullptr;
    if (panel == PanelId::Palette) {
        target = &program.paletteTarget;
        SizePanelTarget(*target, size.width, size.height);
        DrawPalettePanel(target->dc, size);
    } else if (panel == PanelId::Shine) {
        target = &program.shineTarget;
        SizePanelTarget(*target, size.width, size.height);
        DrawShinePanel(target->dc, size, program.interaction);
    }
    const Surface* surface = target ? DcSurface(target->dc) : nullptr;
    if (surface) canvas.Show(*surface, itemRect.left, itemRect.top, itemRect);
}

}  // namespace vantrel
