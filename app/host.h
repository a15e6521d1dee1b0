#pragma once
// Everything the window procedure needs from the window system, behind one small interface:
// the real program implements it with Qt, tests with a recording host.
#include <cmath>
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

// Device pixels per logical pixel as the program draws: a ratio the window reports that is
// not a finite number greater than 0 counts as 1, and the rest is kept to 0.25 .. 8.
inline double SanePixelRatio(double ratio) {
    if (!std::isfinite(ratio) || ratio <= 0) return 1.0;
    return ratio < 0.25 ? 0.25 : ratio > 8 ? 8.0 : ratio;
}
// A logical coordinate or length in device pixels, rounded to the nearest.
inline std::int32_t ToDevice(std::int32_t logical, double ratio) {
    return static_cast<std::int32_t>(std::lround(static_cast<double>(logical) * ratio));
}
inline PanelRect ToDevice(const PanelRect& rect, double ratio) {
    return {ToDevice(rect.left, ratio), ToDevice(rect.top, ratio), ToDevice(rect.right, ratio),
            ToDevice(rect.bottom, ratio)};
}
// The device pixel under the centre of a logical pixel: the same pixel at ratio 1.
inline std::int32_t DevicePixelUnder(std::int32_t logical, double ratio) {
    return static_cast<std::int32_t>(std::floor((static_cast<double>(logical) + 0.5) * ratio));
}

// Memory of the panel's device that the program may write its picture into itself.
struct DevicePixels {
    Surface pixels;         // a view of the device's memory, not owned; empty when none is offered
    std::int32_t left = 0;  // the panel's device pixel that pixels' (0, 0) is
    std::int32_t top = 0;
};

// The device a panel's picture is shown on while the window system repaints it.
class PanelCanvas {
public:
    // The part of the panel this repaint may change, as memory in the device's own 0xFFRRGGBB
    // pixels, written instead of calling Show; valid until the draw-item message returns.
    virtual DevicePixels WritablePixels() { return {}; }
    // Shows the part of source starting at (sourceX, sourceY) in destination, both in device
    // pixels, one source pixel to one device pixel of the panel; the window hosts paint pixels
    // of destination that source does not cover black rather than leave stale ones.
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
    // The screen's size in device pixels, for the back buffer.
    virtual void ScreenSize(std::int32_t& width, std::int32_t& height) = 0;
    // The window's device pixels per logical pixel, which the program draws at from now on;
    // the host readies the overlay's text for it. Asked at start and after each ratio change.
    virtual double AdoptPixelRatio() { return 1.0; }

    // Ends the message loop with the exit code once the current message is done.
    virtual void PostQuit(std::int32_t exitCode) = 0;

    // Whether timer 1 has work: a frame is due or something waits for a tick. Said only when
    // it changes; the timer runs from start-up until told otherwise, so an idle window sleeps.
    virtual void WantTicks(bool wanted) { (void)wanted; }
    // The overlay's rows, a line each, after a frame that changed them: what a screen reader reads
    // as the picture's description.
    virtual void DescribeView(const char* text) { (void)text; }
};

}  // namespace vantrel
