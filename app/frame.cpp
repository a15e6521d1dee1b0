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

void FitBackBuffer(Program& program, std::int32_t viewWidth, std::int32_t viewHeight) {
    const ShellState& shell = program.shell;
    std::int32_t width = std::min(std::max(shell.backBufferWidth, viewWidth), kSurfaceMaxSide);
    std::int32_t height = std::min(std::max(shell.backBufferHeight, viewHeight), kSurfaceMaxSide);
    if (width == shell.backBufferWidth && height == shell.backBufferHeight) {
        // Grown for a window far larger than the screen: the memory goes back once it is small again.
        const std::int32_t neededWidth = std::min(std::max(viewWidth, shell.screenWidth), kSurfaceMaxSide);
        const std::int32_t neededHeight = std::min(std::max(viewHeight, shell.screenHeight), kSurfaceMaxSide);
        const std::int64_t held = std::int64_t{width} * height;
        if (neededWidth <= 0 || neededHeight <= 0 || held <= 4 * std::int64_t{neededWidth} * neededHeight) return;
        width = neededWidth;
        height = neededHeight;
    }
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
    FitBackBuffer(program, width, height);
    // Only the view's own area is cleared, not the whole screen-sized bitmap.
    RenderView(program.scene, program.work, program.target, program.scene.currentCamera, PanelSize{width, height});
    DrawInformationOverlay(program);
    ++program.shell.framesRendered;
    PresentView(program);
}

void AdoptPixelRatio(Program& program) {
    program.shell.pixelRatio = SanePixelRatio(program.host->AdoptPixelRatio());
    program.host->ScreenSize(program.shell.screenWidth, program.shell.screenHeight);
    DestroyBackBuffer(program.target);
    CreateProgramBackBuffer(program, program.shell.screenWidth, program.shell.screenHeight);
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

void FollowTicks(Program& program) {
    if (program.host == nullptr) return;
    const ShellState& shell = program.shell;
    const bool wanted = shell.modalDepth == 0 &&
                        (program.scene.frameDirty != kFalse || shell.shiftUpHeldBack || shell.ratioChangeHeldBack);
    if (shell.ticksResting != wanted) return;  // the host already knows
    program.shell.ticksResting = !wanted;
    program.host->WantTicks(wanted);
}

void PresentView(Program& program) { program.host->RepaintPanelNow(PanelId::View); }

void CopyToView(const Program& program, PanelCanvas& canvas, const PanelRect& itemRect) {
    const Surface* surface = DcSurface(program.target.dc);
    if (!surface) return;
    const PanelRect device = ToDevice(itemRect, program.shell.pixelRatio);
    canvas.Show(*surface, device.left, device.top, device);
}

}  // namespace vantrel
