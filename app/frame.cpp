#include "app/frame.h"

#include <algorithm>

#include "app/overlay.h"
#include "interaction/navigation.h"
#include "canvas/canvas.h"
#include "render/drawing_tools.h"
#include "render/render_frame.h"

namespace vantrel {

void CreateProgramBackBuffer(Program& program, std::int32_t width, std::int32_t height) {
    CreateBackBuffer(program.target, width, height);
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

    const PanelRect view = program.host->PanelClientRect(PanelId::View);
    const std::int32_t width = std::max(RectWidth(view), 0);
    const std::int32_t height = std::max(RectHeight(view), 0);
    GrowBackBuffer(program, width, height);
    // Only the view's own area is cleared, not the whole screen-sized bitmap.
    DrawBackground(program.target.dc, static_cast<float>(width), static_cast<float>(height));
    RenderFrame(program.scene, program.work, program.target, program.scene.currentCamera, PanelSize{width, height});
    DrawInformationOverlay(program);
    ++program.shell.framesRendered;
    PresentView(program);
}

void PresentView(Program& program) { program.host->RepaintPanelNow(PanelId::View); }

void CopyToView(const Program& program, PanelCanvas& canvas, const PanelRect& itemRect) {
    const Surface* surface = DcSurface(program.target.dc);
    if (!surface) return;
    canvas.Show(*surface, itemRect.left, itemRect.top, itemRect);
}

}  // namespace vantrel
