#include "app/window_procedure.h"

#include <algorithm>
#include <cmath>

#include "app/commands.h"
#include "app/frame.h"
#include "app/panels.h"
#include "interaction/colour_panels.h"
#include "interaction/navigation.h"
#include "interaction/picking.h"

namespace vantrel {
namespace {

constexpr std::int32_t kPanelThickness = 16;

bool SceneExists(const Program& program) { return program.scene.currentCamera != 0; }

void HandleSize(Program& program, const Message& message) {
    // A minimised window keeps its panels where they were.
    if (message.sizeType == kSizeMinimized) return;
    LayoutPanelRects(message.width, message.height, program.shell.panels);
    for (std::int32_t id = 1; id <= kPanelCount; ++id) {
        program.host->MovePanel(static_cast<PanelId>(id), program.shell.panels[id]);
    }
    program.scene.frameDirty = kTrue;
    if (SceneExists(program)) UpdateView(program);
}

void HandleDrawItem(Program& program, const Message& message) {
    if (!message.canvas) return;
    const PanelId panel = static_cast<PanelId>(message.controlId);
    if (panel == PanelId::View) {
        CopyToView(program, *message.canvas, message.itemRect);
    } else if (panel == PanelId::Palette || panel == PanelId::Shine) {
        PaintPanel(program, panel, *message.canvas, message.itemRect);
    }
}

// Carries out what an interaction handler asked of the window.
void ApplyResponse(Program& program, const InputResponse& response) {
    if (response.cursor != CursorShape::Unchanged) program.host->SetCursorShape(response.cursor);
    if (response.presentView) PresentView(program);
    if (response.repaintShine) program.host->RepaintPanelNow(PanelId::Shine);
}

// The panel's device pixel under the pointer along one axis: the one the pointer is in where the
// window system told, else the one under the centre of its logical pixel; never outside the panel.
std::int32_t DevicePixelInPanel(bool told, double device, std::int32_t logical, std::int32_t start,
                                std::int32_t length, double ratio) {
    if (!told || !std::isfinite(device)) return DevicePixelUnder(logical - start, ratio);
    const double last = std::max(ToDevice(length, ratio) - 1, 0);
    return static_cast<std::int32_t>(std::clamp(std::floor(device - start * ratio), 0.0, last));
}

InputResponse RouteToView(Program& program, const Message& message, const ViewPoint& point) {
    switch (message.kind) {
        case MessageKind::MouseMove:
            // The outline is inverted in the back buffer, which must hold the frame shown first.
            if (program.shell.framePixels == FramePixels::InWindowOnly &&
                MoveRedrawsOutline(program.scene, program.interaction, program.work, message.keyFlags, point)) {
                CatchUpBackBuffer(program);
            }
            return ViewMouseMove(program.scene, program.orbit, program.interaction, program.work, program.target,
                                 message.keyFlags, point);
        case MessageKind::LeftButtonDown: return PaintHoveredFace(program.scene, program.interaction);
        case MessageKind::RightButtonDown: return TakeHoveredFaceColor(program.scene, program.interaction);
        default: return InputResponse{};
    }
}

void RouteMouse(Program& program, const Message& message) {
    const PanelId panel = PanelAtPoint(program.shell, message.x, message.y);
    if (panel == PanelId::None) return;
    const PanelRect& rect = program.shell.panels[static_cast<std::int32_t>(panel)];
    const std::int32_t x = message.x - rect.left;
    const std::int32_t y = message.y - rect.top;
    // Drags count logical pixels; picking a face or a colour reads the device pixel under the pointer.
    const double ratio = program.shell.pixelRatio;
    const ViewPoint point{
        x, y, DevicePixelInPanel(message.devicePoint, message.deviceX, message.x, rect.left, RectWidth(rect), ratio),
        DevicePixelInPanel(message.devicePoint, message.deviceY, message.y, rect.top, RectHeight(rect), ratio)};
    InputResponse response;
    if (panel == PanelId::View) {
        response = RouteToView(program, message, point);
    } else if (panel == PanelId::Palette) {
        response = PaletteMouse(program.paletteTarget.dc, program.interaction, message.keyFlags, point.pickX, point.pickY);
    } else {
        const PanelSize strip{RectWidth(rect), RectHeight(rect)};
        response = ShineMouse(strip, program.interaction, message.keyFlags, x);
    }
    ApplyResponse(program, response);
}

// Shift released while an error box was open: the pointer goes once the box has closed, at
// the next timer tick or input, so light placement never outlives the key. A ratio change
// waits likewise: the interrupted operation may be drawing into the back buffer it replaces.
void DeliverHeldBack(Program& program) {
    if (program.shell.shiftUpHeldBack) {
        program.shell.shiftUpHeldBack = false;
        LeaveLightPlacement(program.scene, program.interaction);
    }
    if (program.shell.ratioChangeHeldBack) {
        program.shell.ratioChangeHeldBack = false;
        AdoptPixelRatio(program);
    }
}

bool IsInputOrTimer(MessageKind kind) {
    return kind == MessageKind::KeyDown || kind == MessageKind::KeyUp || kind == MessageKind::Command ||
           kind == MessageKind::Timer || kind == MessageKind::MouseMove ||
           kind == MessageKind::LeftButtonDown || kind == MessageKind::RightButtonDown;
}

void HandleShiftKey(Program& program, MessageKind kind) {
    const bool down = kind == MessageKind::KeyDown;
    if (program.shell.modalDepth > 0) {
        // Only the last Shift event before the box closes counts: a new press voids a release.
        program.shell.shiftUpHeldBack = !down;
    } else if (down) {
        EnterLightPlacement(program.scene, program.interaction);
    } else {
        LeaveLightPlacement(program.scene, program.interaction);
    }
}

}  // namespace

void LayoutPanelRects(std::int32_t width, std::int32_t height, PanelRect (&out)[kPanelCount + 1]) {
    // A client area thinner than a strip leaves the view empty rather than inside out.
    const std::int32_t viewWidth = std::max(width - kPanelThickness, 0);
    const std::int32_t viewHeight = std::max(height - kPanelThickness, 0);
    out[0] = PanelRect{};
    out[static_cast<std::int32_t>(PanelId::View)] = PanelRect{0, 0, viewWidth, viewHeight};
    out[static_cast<std::int32_t>(PanelId::Palette)] = PanelRect{viewWidth, 0, viewWidth + kPanelThickness, viewHeight};
    out[static_cast<std::int32_t>(PanelId::Shine)] = PanelRect{0, viewHeight, std::max(width, 0), viewHeight + kPanelThickness};
}

PanelId PanelAtPoint(const ShellState& shell, std::int32_t x, std::int32_t y) {
    for (std::int32_t id = 1; id <= kPanelCount; ++id) {
        if (RectContains(shell.panels[id], x, y)) return static_cast<PanelId>(id);
    }
    return PanelId::None;
}

namespace {

std::int64_t HandleMessage(Program& program, const Message& message) {
    // While an error box is open only layout and painting go on: a command, a key, a mouse
    // message or a frame would act on a scene the interrupted operation is still changing.
    const bool modal = program.shell.modalDepth > 0;
    if (!modal && IsInputOrTimer(message.kind)) DeliverHeldBack(program);
    switch (message.kind) {
        case MessageKind::Destroy: program.host->PostQuit(0); return 0;
        case MessageKind::Size: HandleSize(program, message); return 0;
        case MessageKind::Activate: return 0;
        case MessageKind::DrawItem:
            if (message.controlType != kControlTypeStatic) return 0;
            HandleDrawItem(program, message);
            return 1;
        case MessageKind::KeyDown:
        case MessageKind::KeyUp:
            if (message.virtualKey == kVirtualKeyShift) HandleShiftKey(program, message.kind);
            return 0;
        case MessageKind::Command:
            if (!modal) RunCommand(program, message.commandId);
            return 0;
        case MessageKind::Timer:
            if (message.timerId == kFrameTimerId) UpdateView(program);
            return 0;
        case MessageKind::MouseMove:
        case MessageKind::LeftButtonDown:
        case MessageKind::RightButtonDown:
            if (!modal) RouteMouse(program, message);
            return 0;
        case MessageKind::DpiChanged:
            if (modal) {
                program.shell.ratioChangeHeldBack = true;
            } else {
                AdoptPixelRatio(program);
            }
            return 0;
    }
    return 0;
}

}  // namespace

std::int64_t WindowProcedure(Program& program, const Message& message) {
    const std::int64_t result = HandleMessage(program, message);
    // Every change that makes a frame due arrives as a message, so the timer can rest in between.
    FollowTicks(program);
    return result;
}

}  // namespace vantrel
