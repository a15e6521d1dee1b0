#pragma once
// Everything the window procedure needs from the window system, behind one small interface:
// the real program implements it with Qt, tests with a recording host.
#include <cstdint>

#include "interaction/interaction_state.h"
#include "canvas/surface.h"

namespace vantrel {

// The three panels by control id; kNone is the main window itself.
enum class PanelId : std::int32_t { None = 0, View = 1, Palette = 2, Shine = 3 };
inline constexpr std::int32_t kPanelCount = 3;

// A rectangle in the window's pixels: left/top included, right/bottom excluded.
struct PanelRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};
inline std::int32_t RectWidth(const PanelRect& rect) { return rect.right - rect.left; }
inline std::int32_t RectHeight(const PanelRect& rect) { return rect.bottom - rect.top; }
inline bool RectContains(const PanelRect& rect, std::int32_t x, std::int32_t y) {
    return x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
}

// The device a panel's picture is shown on while the window system repaints it.
class PanelCanvas {
public:
    // Shows the part of source starting at (sourceX, sourceY) in destination of the panel;
    // pixels of destination that source does not cover are left as they are.
    virtual void Show(const Surface& source, std::int32_t sourceX, std::int32_t sourceY,
                      const PanelRect& destination) = 0;

protected:
    ~PanelCanvas() = default;
};

class Host {
public:
    virtual ~Host() = default;

    // Menu check marks, by command id.
    virtual bool MenuItemChecked(std::int32_t id) = 0;
    virtual void CheckMenuItem(std::int32_t id, bool checked) = 0;

    // One of the stock shapes; never CursorShape::Unchanged.
    virtual void SetCursorShape(CursorShape shape) = 0;

    // Places a panel in the main window's client area and has it repainted.
    virtual void MovePanel(PanelId panel, const PanelRect& rect) = 0;
    // The panel's own client rectangle, (0, 0, w, h).
    virtual PanelRect PanelClientRect(PanelId panel) = 0;
    // Invalidates the panel and repaints it before returning; the repaint arrives as a
    // draw-item message.
    virtual void RepaintPanelNow(PanelId panel) = 0;

    // A modal notice with one OK button and the error icon; returns once it is dismissed.
    virtual void ShowErrorBox(const char* caption, const char* text) = 0;

    // Seconds since local midnight, millisecond resolution: what every re-seed uses.
    virtual double SecondsSinceMidnight() = 0;
    // The screen's size in pixels, for the back buffer.
    virtual void ScreenSize(std::int32_t& width, std::int32_t& height) = 0;

    // Ends the message loop with the exit code once the current message is done.
    virtual void PostQuit(std::int32_t exitCode) = 0;
};

}  // namespace vantrel
