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
    ScreenCanvas(Surface& screen, bool offerPixels) : screen_(screen), offerPixels_(offerPixels) {}
    DevicePixels WritablePixels() override { return offerPixels_ ? DevicePixels{screen_, 0, 0} : DevicePixels{}; }
    void Show(const Surface& source, std::int32_t sourceX, std::int32_t sourceY, const PanelRect& destination) override {
        // Clipped once, then copied a row at a time, as a window system's blit does.
        const std::int64_t dx = std::int64_t{sourceX} - destination.left;
        const std::int64_t dy = std::int64_t{sourceY} - destination.top;
        const std::int64_t x0 = std::max<std::int64_t>({destination.left, 0, -dx});
        const std::int64_t x1 = std::min<std::int64_t>({destination.right, screen_.width, source.width - dx});
        const std::int64_t y0 = std::max<std::int64_t>({destination.top, 0, -dy});
        const std::int64_t y1 = std::min<std::int64_t>({destination.bottom, screen_.height, source.height - dy});
        if (x0 >= x1) return;
        for (std::int64_t y = y0; y < y1; ++y) {
            const std::uint32_t* from = source.pixels + (y + dy) * source.pitch + (x0 + dx);
            std::copy(from, from + (x1 - x0), screen_.pixels + y * screen_.pitch + x0);
        }
    }

private:
    Surface& screen_;
    bool offerPixels_;
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
    ScreenCanvas canvas(screen, offerPixels);
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
