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
    // Drawn in device pixels; the shine markers, as tall as the strip, keep their logical size.
    const PanelRect client = ToDevice(program.host->PanelClientRect(panel), program.shell.pixelRatio);
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
    const PanelRect device = ToDevice(itemRect, program.shell.pixelRatio);
    if (surface) canvas.Show(*surface, device.left, device.top, device);
}

}  // namespace vantrel
