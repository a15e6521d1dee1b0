#include "win32/main_window.h"

#include <windowsx.h>

#include <algorithm>
#include <cmath>

#include "app/frame.h"
#include "app/menu_layout.h"
#include "app/startup.h"
#include "app/window_procedure.h"
#include "geometry/random.h"

namespace vantrel {
namespace {

constexpr DWORD kWindowStyle = WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
constexpr DWORD kWindowExStyle = WS_EX_WINDOWEDGE | WS_EX_APPWINDOW;
constexpr UINT_PTR kFrameTimer = 1;
constexpr DWORD kSecondCopyWaitMs = 5000;  // then the second copy gives up and exits 0

WORD VirtualKeyOf(AcceleratorKey key) {
    switch (key) {
        case AcceleratorKey::L: return 'L';
        case AcceleratorKey::O: return 'O';
        case AcceleratorKey::D: return 'D';
        case AcceleratorKey::M: return 'M';
        case AcceleratorKey::A: return 'A';
        case AcceleratorKey::C: return 'C';
        default: return static_cast<WORD>(VK_F1 + (static_cast<int>(key) - static_cast<int>(AcceleratorKey::F1)));
    }
}

UINT WindowDpi(HWND hwnd) {
    const UINT dpi = hwnd ? GetDpiForWindow(hwnd) : GetDpiForSystem();
    return dpi != 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

// The main window of this process, for the window procedure.
MainWindow* g_window = nullptr;

}  // namespace

std::int32_t ToLogicalSize(std::int32_t device, double ratio) {
    return static_cast<std::int32_t>(std::ceil(static_cast<double>(device) / ratio - 1e-9));
}

std::int32_t ToLogicalPoint(std::int32_t device, double ratio) {
    return static_cast<std::int32_t>(std::floor(static_cast<double>(device) / ratio + 1e-9));
}

RECT StartWindowRect(int screenWidth, int screenHeight, UINT dpi) {
    RECT frame;
    SetRect(&frame, 0, 0, MulDiv(kStartClientWidth, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI),
            MulDiv(kStartClientHeight, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI));
    // Sized as if without a menu: the bar, attached later, takes its height from the client area.
    AdjustWindowRectExForDpi(&frame, kWindowStyle, FALSE, kWindowExStyle, dpi);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    const int x = std::max(0, static_cast<int>((screenWidth - frame.right - frame.left) / 2));
    const int y = std::max(0, static_cast<int>((screenHeight - frame.bottom - frame.top) / 2));
    return RECT{x, y, x + width, y + height};
}

int AcceleratorRecords(ACCEL (&out)[12]) {
    int count = 0;
    for (const Accelerator& entry : AcceleratorTable()) {
        if (count == 12) break;
        out[count].fVirt = static_cast<BYTE>(FVIRTKEY | (entry.control ? FCONTROL : 0));
        out[count].key = VirtualKeyOf(entry.key);
        out[count].cmd = static_cast<WORD>(entry.command);
        ++count;
    }
    return count;
}

HACCEL BuildAcceleratorTable() {
    ACCEL records[12];
    const int count = AcceleratorRecords(records);
    return CreateAcceleratorTableA(records, count);
}

HMENU BuildMenuBar() {
    const HMENU bar = CreateMenu();
    HMENU popup = nullptr;
    for (const MenuEntry& entry : MenuBarEntries()) {
        switch (entry.kind) {
            case MenuEntryKind::Popup:
                popup = CreatePopupMenu();
                AppendMenuA(bar, MF_POPUP | MF_STRING | (entry.enabled ? MF_ENABLED : MF_GRAYED),
                            reinterpret_cast<UINT_PTR>(popup), entry.text);
                break;
            case MenuEntryKind::Separator: AppendMenuA(popup, MF_SEPARATOR, 0, nullptr); break;
            case MenuEntryKind::Item:
                AppendMenuA(popup, MF_STRING | (entry.checked ? MF_CHECKED : MF_UNCHECKED),
                            static_cast<UINT_PTR>(entry.id), entry.text);
                break;
        }
    }
    return bar;
}

void GdiPanelCanvas::Show(const Surface& source, std::int32_t sourceX, std::int32_t sourceY,
                          const PanelRect& destination) {
    // The source rectangle wanted, and the part of it the surface has.
    const std::int32_t dx = destination.left - sourceX;
    const std::int32_t dy = destination.top - sourceY;
    const std::int32_t left = std::max(sourceX, 0);
    const std::int32_t top = std::max(sourceY, 0);
    const std::int32_t right = std::min(sourceX + RectWidth(destination), source.width);
    const std::int32_t bottom = std::min(sourceY + RectHeight(destination), source.height);
    const bool covered = left == sourceX && top == sourceY && right == sourceX + RectWidth(destination) &&
                         bottom == sourceY + RectHeight(destination);
    if (!covered) {
        // What the surface cannot cover stays black rather than showing stale pixels.
        RECT fill{destination.left, destination.top, destination.right, destination.bottom};
        IntersectRect(&fill, &fill, &panel_);
        FillRect(dc_, &fill, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    }
    if (!source.pixels || right <= left || bottom <= top) return;
    // The rows shown as a DIB of their own: top-down, 32 bits, rows pitch pixels apart.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = source.pitch;
    info.bmiHeader.biHeight = -(bottom - top);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    const std::uint32_t* rows = source.pixels + static_cast<std::size_t>(top) * static_cast<std::size_t>(source.pitch);
    SetDIBitsToDevice(dc_, left + dx, top + dy, static_cast<DWORD>(right - left), static_cast<DWORD>(bottom - top),
                      left, 0, 0, static_cast<UINT>(bottom - top), rows, &info, DIB_RGB_COLORS);
}

MainWindow::MainWindow(Program& program) : program_(program) {}

MainWindow::~MainWindow() {
    if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
    if (accelerators_) DestroyAcceleratorTable(accelerators_);
    if (g_window == this) g_window = nullptr;
}

HWND MainWindow::panel(PanelId id) const {
    const auto index = static_cast<std::int32_t>(id);
    return index >= 1 && index <= kPanelCount ? panels_[index] : nullptr;
}

bool MainWindow::Create(HINSTANCE instance, int showCommand) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = &MainWindow::Procedure;
    windowClass.hInstance = instance;
    // The program's icon where the module has one, in both sizes: the taskbar and Alt+Tab
    // show the large one, the title bar the small one.
    const auto icon = [instance](int metric) {
        return static_cast<HICON>(LoadImageA(instance, "PROGRAM", IMAGE_ICON, GetSystemMetrics(metric),
                                             GetSystemMetrics(metric + 1), LR_SHARED));
    };
    const HICON large = icon(SM_CXICON);
    windowClass.hIcon = large ? large : LoadIconA(nullptr, MAKEINTRESOURCEA(32512));
    windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    windowClass.lpszClassName = kWindowClassName;
    windowClass.hIconSm = icon(SM_CXSMICON);
    // A test process makes several windows in turn: the class stays registered.
    if (!RegisterClassExA(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;

    dpi_ = WindowDpi(nullptr);
    const RECT place = StartWindowRect(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), dpi_);
    g_window = this;
    hwnd_ = CreateWindowExA(kWindowExStyle, kWindowClassName, kWindowTitle, kWindowStyle, place.left, place.top,
                            place.right - place.left, place.bottom - place.top, nullptr, nullptr, instance, nullptr);
    if (!hwnd_) {
        g_window = nullptr;
        return false;
    }
    dpi_ = WindowDpi(hwnd_);

    const HGDIOBJ font = ::GetStockObject(ANSI_VAR_FONT);
    for (std::int32_t id = 1; id <= kPanelCount; ++id) {
        panels_[id] = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_OWNERDRAW, 0, 0, 0, 0, hwnd_,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
        if (panels_[id] && font) SendMessageA(panels_[id], WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    menu_ = BuildMenuBar();
    // The bar makes the client area shorter; the size message that follows places the panels.
    SetMenu(hwnd_, menu_);
    accelerators_ = BuildAcceleratorTable();
    ShowWindow(hwnd_, showCommand);
    SetForegroundWindow(hwnd_);
    SetFocus(hwnd_);
    return true;
}

void MainWindow::Start(Win32Host& host) {
    program_.fontEngine = &fonts_;
    StartProgram(program_, host);
    SetTicking(ticksWanted_);
}

void MainWindow::SetTicking(bool wanted) {
    ticksWanted_ = wanted;
    if (!IsWindow(hwnd_)) return;
    // Interval 0: Windows raises it to its shortest. A running timer is left alone, since
    // SetTimer would push its next tick back.
    if (wanted && !timerRunning_) {
        timerRunning_ = SetTimer(hwnd_, kFrameTimer, 0, nullptr) != 0;
    } else if (!wanted && timerRunning_) {
        KillTimer(hwnd_, kFrameTimer);
        timerRunning_ = false;
    }
}

void MainWindow::Stop() {
    if (timerRunning_ && IsWindow(hwnd_)) KillTimer(hwnd_, kFrameTimer);
    timerRunning_ = false;
    StopProgram(program_);
    if (accelerators_) DestroyAcceleratorTable(accelerators_);
    accelerators_ = nullptr;
}

void MainWindow::HandleLoopMessage(MSG& message) {
    // Every message is offered to the accelerators, whichever window it is for, so the keys
    // work wherever the keyboard focus went (a menu closed with Escape leaves it on the window).
    if (accelerators_ && hwnd_ && TranslateAcceleratorA(hwnd_, accelerators_, &message)) return;
    TranslateMessage(&message);
    DispatchMessageA(&message);
}

LRESULT CALLBACK MainWindow::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    MainWindow* window = g_window;
    if (window && window->program_.host && (window->hwnd_ == hwnd || window->hwnd_ == nullptr)) {
        if (window->hwnd_ == nullptr) window->hwnd_ = hwnd;  // messages sent while CreateWindowExA runs
        return window->Handle(message, wParam, lParam);
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

void MainWindow::SendMouse(MessageKind kind, WPARAM wParam, LPARAM lParam) {
    const double r = ratio();
    const std::int32_t flags = static_cast<std::int32_t>(wParam & (MK_LBUTTON | MK_RBUTTON | MK_SHIFT | MK_CONTROL));
    // Windows reports device pixels; picking wants the centre of the one under the pointer.
    const std::int32_t x = GET_X_LPARAM(lParam);
    const std::int32_t y = GET_Y_LPARAM(lParam);
    WindowProcedure(program_, MouseMessage(kind, flags, ToLogicalPoint(x, r), ToLogicalPoint(y, r), x + 0.5, y + 0.5));
}

void MainWindow::DrawItem(const DRAWITEMSTRUCT& item) {
    RECT client{};
    GetClientRect(item.hwndItem, &client);
    GdiPanelCanvas canvas(item.hDC, client);
    const double r = ratio();
    const PanelRect logical{ToLogicalPoint(item.rcItem.left, r), ToLogicalPoint(item.rcItem.top, r),
                            ToLogicalSize(item.rcItem.right, r), ToLogicalSize(item.rcItem.bottom, r)};
    Message message = DrawItemMessage(static_cast<PanelId>(item.CtlID), logical, canvas);
    message.controlType = static_cast<std::int32_t>(item.CtlType);
    WindowProcedure(program_, message);
}

void MainWindow::DpiChanged(UINT dpi, const RECT* suggested) {
    RECT before{};
    GetClientRect(hwnd_, &before);
    dpi_ = dpi != 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
    // The same path as any ratio change: a new back buffer and strips, and a frame at once.
    WindowProcedure(program_, DpiChangedMessage());
    if (suggested) {
        SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    RECT after{};
    GetClientRect(hwnd_, &after);
    // Same device size, new ratio: no size message comes, yet the logical layout changed.
    if (after.right == before.right && after.bottom == before.bottom && !IsIconic(hwnd_)) {
        const double r = ratio();
        WindowProcedure(program_, SizeMessage(IsZoomed(hwnd_) ? kSizeMaximized : kSizeRestored,
                                              ToLogicalSize(after.right, r), ToLogicalSize(after.bottom, r)));
    }
}

void MainWindow::RefreshPointer() {
    POINT point{};
    RECT client{};
    if (!GetCursorPos(&point) || !ScreenToClient(hwnd_, &point) || !GetClientRect(hwnd_, &client) ||
        !PtInRect(&client, point)) {
        return;
    }
    // No buttons: bringing the view up to date never drags.
    const WPARAM keys = (GetKeyState(VK_SHIFT) < 0 ? MK_SHIFT : 0) | (GetKeyState(VK_CONTROL) < 0 ? MK_CONTROL : 0);
    SendMouse(MessageKind::MouseMove, keys, MAKELPARAM(point.x, point.y));
}

void MainWindow::SendShiftUpIfReleased() {
    if (!shiftDown_ || GetKeyState(VK_SHIFT) < 0) return;
    shiftDown_ = false;
    WindowProcedure(program_, KeyMessage(MessageKind::KeyUp, kVirtualKeyShift));
}

LRESULT MainWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE: {
            if (wParam > SIZE_MAXIMIZED) break;  // another window's maximise news
            const double r = ratio();
            WindowProcedure(program_, SizeMessage(static_cast<std::int32_t>(wParam), ToLogicalSize(LOWORD(lParam), r),
                                                  ToLogicalSize(HIWORD(lParam), r)));
            return 0;
        }
        case WM_DRAWITEM: DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)); return TRUE;
        case WM_KEYDOWN:
        case WM_KEYUP:
            if (wParam == VK_SHIFT) {
                const bool down = message == WM_KEYDOWN;
                // Auto-repeat presses are the same Shift still held.
                if (down && shiftDown_) return 0;
                shiftDown_ = down;
            }
            WindowProcedure(program_, KeyMessage(message == WM_KEYDOWN ? MessageKind::KeyDown : MessageKind::KeyUp,
                                                 static_cast<std::int32_t>(wParam)));
            return 0;
        case WM_COMMAND:
            // Menus and accelerators send no control handle; the panels send nothing.
            if (lParam == 0) WindowProcedure(program_, CommandMessage(LOWORD(wParam)));
            return 0;
        case WM_TIMER: {
            Message timer = TimerMessage();
            timer.timerId = static_cast<std::int32_t>(wParam);
            WindowProcedure(program_, timer);
            return 0;
        }
        case WM_MOUSEMOVE: SendMouse(MessageKind::MouseMove, wParam, lParam); return 0;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
            // Held while a button is down, so a drag goes on when the pointer leaves the window.
            SetCapture(hwnd_);
            SendMouse(message == WM_LBUTTONDOWN ? MessageKind::LeftButtonDown : MessageKind::RightButtonDown, wParam, lParam);
            return 0;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
            if ((wParam & (MK_LBUTTON | MK_RBUTTON)) == 0) ReleaseCapture();
            return 0;
        case WM_SETCURSOR:
            if (LOWORD(lParam) == HTCLIENT && cursor_) {
                SetCursor(cursor_);
                return TRUE;
            }
            break;
        case WM_ACTIVATE:
            // A Shift released while another window had the keyboard never reached this one.
            if (LOWORD(wParam) != WA_INACTIVE) {
                SendShiftUpIfReleased();
                RefreshPointer();
            }
            break;
        case WM_EXITMENULOOP:
            // The pointer may have moved while the menu had it: the next drag starts from here.
            RefreshPointer();
            break;
        case WM_DPICHANGED: DpiChanged(LOWORD(wParam), reinterpret_cast<const RECT*>(lParam)); return 0;
        case WM_DESTROY:
            if (timerRunning_) KillTimer(hwnd_, kFrameTimer);
            timerRunning_ = false;
            WindowProcedure(program_, DestroyMessage());
            return 0;
        default: break;
    }
    return DefWindowProcA(hwnd_, message, wParam, lParam);
}

bool Win32Host::MenuItemChecked(std::int32_t id) {
    const UINT state = GetMenuState(window_.menu(), static_cast<UINT>(id), MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && (state & MF_CHECKED) != 0;
}

void Win32Host::CheckMenuItem(std::int32_t id, bool checked) {
    ::CheckMenuItem(window_.menu(), static_cast<UINT>(id), MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void Win32Host::SetCursorShape(CursorShape shape) {
    if (shape == CursorShape::Unchanged) return;
    if (shape != cursor_) {
        cursor_ = shape;
        window_.set_cursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(static_cast<int>(shape))));
    }
    // Shown now, not only at the next set-cursor message.
    if (window_.cursor()) SetCursor(window_.cursor());
}

void Win32Host::MovePanel(PanelId panel, const PanelRect& rect) {
    const HWND hwnd = window_.panel(panel);
    if (!hwnd) return;
    const PanelRect device = ToDevice(rect, window_.ratio());
    MoveWindow(hwnd, device.left, device.top, RectWidth(device), RectHeight(device), TRUE);
}

PanelRect Win32Host::PanelClientRect(PanelId panel) {
    RECT client{};
    const HWND hwnd = window_.panel(panel);
    if (!hwnd || !GetClientRect(hwnd, &client)) return PanelRect{};
    const double r = window_.ratio();
    return PanelRect{0, 0, ToLogicalSize(client.right, r), ToLogicalSize(client.bottom, r)};
}

void Win32Host::RepaintPanelNow(PanelId panel) {
    if (const HWND hwnd = window_.panel(panel)) RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void Win32Host::ShowErrorBox(const char* caption, const char* text) {
    MessageBoxA(window_.hwnd(), text, caption, MB_OK | MB_ICONERROR);
    window_.SendShiftUpIfReleased();
}

double Win32Host::SecondsSinceMidnight() { return SystemSecondsSinceMidnight(); }

void Win32Host::ScreenSize(std::int32_t& width, std::int32_t& height) {
    // The monitor the window is on, in its device pixels (the process is per-monitor aware).
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    const HMONITOR monitor = MonitorFromWindow(window_.hwnd(), MONITOR_DEFAULTTOPRIMARY);
    if (monitor && GetMonitorInfoA(monitor, &info)) {
        width = info.rcMonitor.right - info.rcMonitor.left;
        height = info.rcMonitor.bottom - info.rcMonitor.top;
    } else {
        width = GetSystemMetrics(SM_CXSCREEN);
        height = GetSystemMetrics(SM_CYSCREEN);
    }
}

double Win32Host::AdoptPixelRatio() {
    const double ratio = SanePixelRatio(window_.ratio());
    window_.fonts().SetPixelRatio(ratio);
    return ratio;
}

void Win32Host::PostQuit(std::int32_t exitCode) { PostQuitMessage(exitCode); }

void Win32Host::WantTicks(bool wanted) { window_.SetTicking(wanted); }

bool RaiseFirstCopy() {
    const DWORD start = GetTickCount();
    HWND first = FindWindowA(kWindowClassName, nullptr);
    // The first copy may still be making its window: look again, emptying this thread's queue.
    while (!first && GetTickCount() - start < kSecondCopyWaitMs) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        }
        Sleep(20);
        first = FindWindowA(kWindowClassName, nullptr);
    }
    if (!first) return false;
    if (IsIconic(first)) ShowWindow(first, SW_RESTORE);
    SetForegroundWindow(first);
    return true;
}

HANDLE ClaimSingleInstance(bool& secondCopy) {
    const HANDLE mutex = CreateMutexA(nullptr, FALSE, kWindowClassName);
    secondCopy = mutex != nullptr && GetLastError() == ERROR_ALREADY_EXISTS;
    if (!secondCopy) return mutex;
    CloseHandle(mutex);
    RaiseFirstCopy();
    return nullptr;
}

int RunProgram(HINSTANCE instance, int showCommand) {
    bool secondCopy = false;
    const HANDLE mutex = ClaimSingleInstance(secondCopy);
    if (secondCopy) return 0;
    int exitCode = 0;
    {
        Program program;
        MainWindow window(program);
        Win32Host host(window);
        ConnectHost(program, host);
        if (window.Create(instance, showCommand)) {
            window.Start(host);
            MSG message;
            BOOL got;
            while ((got = GetMessageA(&message, nullptr, 0, 0)) != 0 && got != -1) window.HandleLoopMessage(message);
            if (got == 0) exitCode = static_cast<int>(message.wParam);
            window.Stop();
        }
    }
    if (mutex) CloseHandle(mutex);
    return exitCode;
}

}  // namespace vantrel
