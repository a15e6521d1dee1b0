#include "app/recording_host.h"

#include <algorithm>

#include "app/menu_layout.h"
#include "app/message.h"
#include "app/window_procedure.h"

namespace vantrel {
namespace {

constexpr std::int32_t kHighestCommand = 64;

// Copies source pixels into the panel's screen surface, clipped at both.
class ScreenCanvas : public PanelCanvas {
public:
    explicit ScreenCanvas(Surface& screen) : screen_(screen) {}
    void Show(const Surface& source, std::int32_t sourceX, std::int32_t sourceY, const PanelRect& destination) override {
        for (std::int32_t y = std::max(destination.top, 0); y < std::min(destination.bottom, screen_.height); ++y) {
            const std::int32_t sy = sourceY + (y - destination.top);
            if (sy < 0 || sy >= source.height) continue;
            for (std::int32_t x = std::max(destination.left, 0); x < std::min(destination.right, screen_.width); ++x) {
                const std::int32_t sx = sourceX + (x - destination.left);
                if (sx < 0 || sx >= source.width) continue;
                screen_.pixels[y * screen_.pitch + x] = source.pixels[sy * source.pitch + sx];
            }
        }
    }

private:
    Surface& screen_;
};

}  // namespace

RecordingHost::RecordingHost() : checked_(kHighestCommand + 1, false) {
    for (const MenuEntry& entry : MenuBarEntries()) {
        if (entry.kind == MenuEntryKind::Item && entry.checked) checked_[entry.id] = true;
    }
}

RecordingHost::~RecordingHost() {
    for (Surface& screen : screens_) SurfaceDestroy(screen);
}

bool RecordingHost::MenuItemChecked(std::int32_t id) {
    return id >= 0 && id <= kHighestCommand && checked_[id];
}

void RecordingHost::CheckMenuItem(std::int32_t id, bool checked) {
    if (id >= 0 && id <= kHighestCommand) checked_[id] = checked;
}

void RecordingHost::SetCursorShape(CursorShape shape) {
    cursor = shape;
    ++cursorChanges;
}

void RecordingHost::MovePanel(PanelId panel, const PanelRect& rect) {
    const std::int32_t index = static_cast<std::int32_t>(panel);
    places_[index] = rect;
    ++panelMoves;
    RepaintPanelNow(panel);  // moved with repainting
}

PanelRect RecordingHost::PanelClientRect(PanelId panel) {
    const PanelRect& place = places_[static_cast<std::int32_t>(panel)];
    return PanelRect{0, 0, RectWidth(place), RectHeight(place)};
}

void RecordingHost::RepaintPanelNow(PanelId panel) {
    const std::int32_t index = static_cast<std::int32_t>(panel);
    ++repaints[index];
    // The screen follows the panel's size and the ratio, as a window's pixels do.
    const PanelRect device = ToDevice(PanelClientRect(panel), pixelRatio);
    Surface& screen = screens_[index];
    if (screen.width != RectWidth(device) || screen.height != RectHeight(device)) {
        SurfaceDestroy(screen);
        SurfaceCreate(RectWidth(device), RectHeight(device), screen);
    }
    if (!program) return;
    ScreenCanvas canvas(screen);
    WindowProcedure(*program, DrawItemMessage(panel, PanelClientRect(panel), canvas));
}

void RecordingHost::ShowErrorBox(const char* caption, const char* text) {
    errorTexts.push_back(std::string(caption) + ": " + text);
    if (whileErrorBoxOpen) whileErrorBoxOpen();
}

double RecordingHost::SecondsSinceMidnight() { return secondsSinceMidnight; }

void RecordingHost::ScreenSize(std::int32_t& width, std::int32_t& height) {
    width = ToDevice(screenWidth, pixelRatio);
    height = ToDevice(screenHeight, pixelRatio);
}

void RecordingHost::PostQuit(std::int32_t exitCode) { quitCode = exitCode; }

}  // namespace vantrel
