#pragma once
// The Win32 window layer: the main window of class "VANTREL" with its three owner-drawn
// STATIC panels, the menu bar and the accelerator table, and the host the window procedure
// talks to. Windows' own messages are turned into the program's and handed to the same
// window procedure the Qt layer drives. The window works in device pixels; the program sees
// logical (96 DPI) pixels, and its back buffer and strips are drawn in device pixels.
#include <cstdint>

// The program's headers come before windows.h, whose macros share their GDI-style names; this
// header must come first in every file that includes it. Inside the namespace, Windows' own
// functions of the same names are called with "::".
#include "app/host.h"
#include "app/message.h"
#include "app/program.h"

#include <windows.h>

#include "win32/gdi_font_engine.h"

namespace vantrel {

inline constexpr char kWindowClassName[] = "VANTREL";  // also the single-instance mutex's name
inline constexpr char kWindowTitle[] = "Vantrel";
inline constexpr int kStartClientWidth = 320;   // asked for without the menu bar, at 96 DPI
inline constexpr int kStartClientHeight = 240;

// Shows a surface in a panel's device context, one surface pixel to one device pixel.
class GdiPanelCanvas final : public PanelCanvas {
public:
    GdiPanelCanvas(HDC dc, const RECT& panel) : dc_(dc), panel_(panel) {}
    void Show(const Surface& source, std::int32_t sourceX, std::int32_t sourceY, const PanelRect& destination) override;

private:
    HDC dc_;
    RECT panel_;
};

// Logical pixels of a device length at a ratio: rounded up, so panels placed from them
// always cover the whole client area.
std::int32_t ToLogicalSize(std::int32_t device, double ratio);
// The logical pixel a device coordinate lies in.
std::int32_t ToLogicalPoint(std::int32_t device, double ratio);
// The outer rectangle of the main window at start: the client size for the DPI enlarged by
// the frame for a window without a menu, centred on a screen of that size, never at a
// negative coordinate.
RECT StartWindowRect(int screenWidth, int screenHeight, UINT dpi);
// The 12 accelerators, as Windows' records.
int AcceleratorRecords(ACCEL (&out)[12]);
// The menu bar built from the program's menu layout; titles of disabled popups grayed.
HMENU BuildMenuBar();
// The Windows accelerator table.
HACCEL BuildAcceleratorTable();

class Win32Host;

// The running main window. One at a time per process: the window procedure finds it through
// a process-wide pointer.
class MainWindow {
public:
    explicit MainWindow(Program& program);
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Registers the class and creates the window, its panels, menu bar and accelerator
    // table, then shows it with the show command. False when the class or window cannot be made.
    bool Create(HINSTANCE instance, int showCommand);
    // The program's start: font engine, host, back buffer, default scene; then timer 1.
    void Start(Win32Host& host);
    // Timer stopped, back buffer and accelerator table released; the window is already gone.
    void Stop();

    // One message as the loop handles it: the accelerator table first, then translation and dispatch.
    void HandleLoopMessage(MSG& message);

    HWND hwnd() const { return hwnd_; }
    HWND panel(PanelId id) const;
    HMENU menu() const { return menu_; }
    HACCEL accelerators() const { return accelerators_; }
    Program& program() { return program_; }
    GdiFontEngine& fonts() { return fonts_; }
    // The window's DPI as last reported (at creation, then by WM_DPICHANGED).
    UINT dpi() const { return dpi_; }
    double ratio() const { return dpi_ / 96.0; }
    HCURSOR cursor() const { return cursor_; }
    void set_cursor(HCURSOR cursor) { cursor_ = cursor; }

    // Runs timer 1 while the program has work for it, and lets an idle window sleep.
    void SetTicking(bool wanted);

    // Tells the program Shift is up when it was released while another window had the keyboard.
    void SendShiftUpIfReleased();
    // Tells the view where the pointer is now, as a plain move, when it is over the client area.
    void RefreshPointer();

    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

private:
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void SendMouse(MessageKind kind, WPARAM wParam, LPARAM lParam);
    void DrawItem(const DRAWITEMSTRUCT& item);
    void DpiChanged(UINT dpi, const RECT* suggested);

    Program& program_;
    GdiFontEngine fonts_;
    HWND hwnd_ = nullptr;
    HWND panels_[kPanelCount + 1] = {};
    HMENU menu_ = nullptr;
    HACCEL accelerators_ = nullptr;
    HCURSOR cursor_ = nullptr;
    UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
    bool timerRunning_ = false;
    bool ticksWanted_ = true;  // the program wants ticks from start-up until it says otherwise
    bool shiftDown_ = false;  // as the window procedure last heard
};

class Win32Host : public Host {
public:
    explicit Win32Host(MainWindow& window) : window_(window) {}

    bool MenuItemChecked(std::int32_t id) override;
    void CheckMenuItem(std::int32_t id, bool checked) override;
    void SetCursorShape(CursorShape shape) override;
    void MovePanel(PanelId panel, const PanelRect& rect) override;
    PanelRect PanelClientRect(PanelId panel) override;
    void RepaintPanelNow(PanelId panel) override;
    void ShowErrorBox(const char* caption, const char* text) override;
    double SecondsSinceMidnight() override;
    void ScreenSize(std::int32_t& width, std::int32_t& height) override;
    double AdoptPixelRatio() override;
    void PostQuit(std::int32_t exitCode) override;
    void WantTicks(bool wanted) override;

private:
    MainWindow& window_;
    CursorShape cursor_ = CursorShape::Unchanged;
};

// The first copy's mutex, or nullptr after a second copy has raised the first copy's window
// (secondCopy is then true). A mutex that cannot be made leaves the copy running unprotected.
HANDLE ClaimSingleInstance(bool& secondCopy);
// A second copy's part: waits a few seconds at most for the first copy's window, restores it
// if minimised and brings it to the front. False when no window showed up in time.
bool RaiseFirstCopy();

// The whole program: single instance, window, start, message loop, shut-down; the exit code.
int RunProgram(HINSTANCE instance, int showCommand);

}  // namespace vantrel
