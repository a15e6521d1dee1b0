#include "app/frame.h"

#include <algorithm>

#include "app/overlay.h"
#include "interaction/navigation.h"
#include "canvas/canvas.h"
#include "render/drawing_tools.h"
#include "render/render_frame.h"

namespace vantrel {

void CreateProgramBackBuffer(Program& program, std::int32_t width, std::int32_t height) {
    // A screen of many device pixels still gets a back buffer, at the surface limit.
    CreateBackBuffer(program.target, std::min(width, kSurfaceMaxSide), std::min(height, kSurfaceMaxSide));
    SetFontEngine(program.target.dc, program.fontEngine);
    const Surface* surface = DcSurface(program.target.dc);
    program.shell.backBufferWidth = surface ? surface->width : 0;
    program.shell.backBufferHeight = surface ? surface->height : 0;
}

void GrowBackBuffer(Program& program, std::int32_t viewWidth, std::int32_t viewHeight) {
    const std::int32_t width = std::min(std::max(program.shell.backBufferWidth, viewWidth), kSurfaceMaxSide);
    const std::int32_t height = std::min(std::max(program.shell.backBufferHeight, viewHeight), kSurfaceMaxSide);
    if (width == program.shell.backBufferWidth && height == program.shell.backBufferHeight) return;
    DestroyBackBuffer(program.target);
    CreateProgramBackBuffer(program, width, height);
}

void UpdateView(Program& program) {
    if (program.scene.frameDirty == kFalse) return;
    // A frame begun from an error box's own event loop would overlap the one that raised it;
    // the frame stays due and is drawn at the first tick after the box closes.
    if (program.shell.modalDepth > 0) return;
    program.scene.frameDirty = kFalse;
    program.interaction.highlightFace = 0;  // the new picture has no hover outline

    PlaceViewpoint(program.scene, program.orbit, program.interaction);

    // The view in device pixels: the projection frames the scene as at ratio 1, only finer.
    const PanelRect view = ToDevice(program.host->PanelClientRect(PanelId::View), program.shell.pixelRatio);
    const std::int32_t width = std::max(RectWidth(view), 0);
    const std::int32_t height = std::max(RectHeight(view), 0);
    GrowBackBuffer(program, width, height);
    // Only the view's own area is cleared, not the whole screen-sized bitmap.
    RenderView(program.scene, program.work, program.target, program.scene.currentCamera, PanelSize{width, height});
    DrawInformationOverlay(program);
    ++program.shell.framesRendered;
    PresentView(program);
}

void AdoptPixelRatio(Program& program) {
    program.shell.pixelRatio = SanePixelRatio(program.host->AdoptPixelRatio());
    std::int32_t width = 0;
    std::int32_t height = 0;
    program.host->ScreenSize(width, height);
    DestroyBackBuffer(program.target);
    CreateProgramBackBuffer(program, width, height);
    // The last frame's screen positions are in the old device pixels: pick nothing until the next.
    program.interaction.highlightFace = 0;
    program.interaction.frameMatchesScene = kFalse;
    program.host->RepaintPanelNow(PanelId::Palette);
    program.host->RepaintPanelNow(PanelId::Shine);
    program.scene.frameDirty = kTrue;
    if (program.scene.currentCamera != 0) {
        UpdateView(program);
    } else {
        PresentView(program);
    }
}

void PresentView(Program& program) { program.host->RepaintPanelNow(PanelId::View); }

void CopyToView(const Program& program, PanelCanvas& canvas, const PanelRect& itemRect) {
    const Surface* surface = DcSurface(program.target.dc);
    if (!surface) return;
    const PanelRect device = ToDevice(itemRect, program.shell.pixelRatio);
    canvas.Show(*surface, device.left, device.top, device);
}

}  // namespace vantrel
