#include "app/frame.h"

#include <algorithm>

#include "app/overlay.h"
#include "interaction/navigation.h"
#include "canvas/canvas.h"
#include "canvas/pixel_rows.h"
#include "render/drawing_tools.h"
#include "render/render_frame.h"
#include "render/render_threads.h"

namespace vantrel {
namespace {

// The back buffer copied into the panel's device memory in bands of rows, one or more per
// drawing thread; what the back buffer does not cover turns black.
class ViewCopy final : public BandJob {
public:
    ViewCopy(const Surface& source, const DevicePixels& target, const PanelRect& rows, std::int32_t threads)
        : source_(source), target_(target), rows_(rows) {
        // Up to 16 MiB (full HD) the source is still in the shared cache and one thread keeps up.
        const std::int64_t pixels = std::int64_t{RectWidth(rows)} * RectHeight(rows);
        bands_ = threads > 1 && pixels > 4 * 1024 * 1024 ? std::min(threads, RectHeight(rows)) : 1;
    }
    std::int32_t Bands() const { return bands_; }

    void DrawBand(BandContext&, std::int32_t band) const override {
        const std::int32_t height = RectHeight(rows_);
        const std::int32_t first = rows_.top + static_cast<std::int32_t>(std::int64_t{height} * band / bands_);
        const std::int32_t end = rows_.top + static_cast<std::int32_t>(std::int64_t{height} * (band + 1) / bands_);
        const std::int32_t pitch = target_.pixels.pitch;
        std::uint32_t* const origin = target_.pixels.pixels - std::ptrdiff_t{target_.top} * pitch - target_.left;
        // Columns and rows of the band the back buffer covers.
        const std::int32_t left = std::min(std::max(rows_.left, 0), rows_.right);
        const std::int32_t right = std::clamp(std::min(rows_.right, source_.width), left, rows_.right);
        const std::int32_t top = std::min(std::max(first, 0), end);
        const std::int32_t bottom = std::clamp(std::min(end, source_.height), top, end);
        const auto black = [&](std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1) {
            if (x1 > x0 && y1 > y0) FillPixelRows(origin + std::ptrdiff_t{y0} * pitch + x0, pitch, kBlack, x1 - x0, y1 - y0);
        };
        black(rows_.left, first, rows_.right, top);
        black(rows_.left, bottom, rows_.right, end);
        black(rows_.left, top, left, bottom);
        black(right, top, rows_.right, bottom);
        if (right > left && bottom > top) {
            CopyPixelRows(origin + std::ptrdiff_t{top} * pitch + left, pitch,
                          source_.pixels + std::ptrdiff_t{top} * source_.pitch + left, source_.pitch, right - left,
                          bottom - top);
        }
    }

private:
    static constexpr std::uint32_t kBlack = 0xFF000000u;
    const Surface& source_;
    const DevicePixels& target_;
    PanelRect rows_;  // the panel's device pixels to write
    std::int32_t bands_ = 1;
};

// The prepared frame and its overlay, drawn through the back buffer's context: the background
// covers only the view's own area, not the whole screen-sized bitmap.
void DrawFrame(Program& program) {
    DrawPreparedView(program.target, program.scene, program.work, program.shell.frame);
    DrawOverlayText(program.target.dc, program.shell.frameOverlay);
}

// Draws the prepared frame straight into the window's memory, without the back buffer or a
// copy, when that memory holds the whole view at the back buffer's places and the frame reads
// nothing but the work arrays (so it can be drawn again later); false, nothing drawn, otherwise.
bool DrawFrameInPlace(Program& program, const DevicePixels& writable) {
    const PreparedView& frame = program.shell.frame;
    const PanelSize view = frame.panel;
    Surface* held = program.target.bitmap != nullptr ? BitmapSurface(program.target.bitmap) : nullptr;
    if (held == nullptr || frame.primitives || writable.pixels.pixels == nullptr || writable.left != 0 ||
        writable.top != 0 || view.width <= 0 || view.height <= 0 || view.width > kSurfaceMaxSide ||
        view.height > kSurfaceMaxSide || writable.pixels.width < view.width || writable.pixels.height < view.height) {
        return false;
    }
    // The back buffer's context draws into the window for this frame, as a band's context does into its rows.
    const Surface backBuffer = *held;
    *held = Surface{view.width, view.height, writable.pixels.pitch, writable.pixels.pixels};
    DrawFrame(program);
    *held = backBuffer;
    return true;
}

}  // namespace

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
    // An error box opened while the stages run may bring repaints: the work they would draw
    // the last frame from is half rewritten, so they show the back buffer as it is.
    if (program.shell.framePixels == FramePixels::InWindowOnly) program.shell.framePixels = FramePixels::Replaced;
    program.shell.frame = PrepareView(program.scene, program.work, program.scene.currentCamera, PanelSize{width, height});
    BuildOverlayText(program.scene, program.orbit, program.shell.frameOverlay);
    DescribeOverlay(program, program.shell.frameOverlay);
    program.shell.framePixels = FramePixels::Undrawn;
    ++program.shell.framesRendered;
    // The repaint draws the frame, into the window's image where it can; a window that did not
    // repaint (hidden, say) finds it in the back buffer.
    PresentView(program);
    if (program.shell.framePixels == FramePixels::Undrawn) CatchUpBackBuffer(program);
}

void CatchUpBackBuffer(Program& program) {
    const FramePixels where = program.shell.framePixels;
    if (where != FramePixels::Undrawn && where != FramePixels::InWindowOnly) return;
    DrawFrame(program);
    program.shell.framePixels = FramePixels::InBackBuffer;
}

void AdoptPixelRatio(Program& program) {
    program.shell.pixelRatio = SanePixelRatio(program.host->AdoptPixelRatio());
    program.host->ScreenSize(program.shell.screenWidth, program.shell.screenHeight);
    DestroyBackBuffer(program.target);
    CreateProgramBackBuffer(program, program.shell.screenWidth, program.shell.screenHeight);
    // The last frame was in the old device pixels: the view shows the new buffer or a new frame.
    program.shell.framePixels = FramePixels::InBackBuffer;
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

void CopyToView(Program& program, PanelCanvas& canvas, const PanelRect& itemRect) {
    const DevicePixels writable = canvas.WritablePixels();
    if (program.shell.framePixels == FramePixels::Undrawn && DrawFrameInPlace(program, writable)) {
        program.shell.framePixels = FramePixels::InWindowOnly;
        return;
    }
    CatchUpBackBuffer(program);
    const Surface* surface = DcSurface(program.target.dc);
    if (!surface) return;
    const PanelRect device = ToDevice(itemRect, program.shell.pixelRatio);
    if (writable.pixels.pixels == nullptr) {
        canvas.Show(*surface, device.left, device.top, device);
        return;
    }
    // The panel's device pixel (x, y) shows the back buffer's pixel (x, y).
    const PanelRect rows{std::max(device.left, writable.left), std::max(device.top, writable.top),
                         std::min(device.right, writable.left + writable.pixels.width),
                         std::min(device.bottom, writable.top + writable.pixels.height)};
    if (RectWidth(rows) <= 0 || RectHeight(rows) <= 0) return;
    const ViewCopy copy(*surface, writable, rows, program.work.threads->Count());
    program.work.threads->Run(copy, copy.Bands());
}

}  // namespace vantrel
