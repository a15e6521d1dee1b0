#include "tests/win32/cross_host_session.h"
#include "app/command_ids.h"
#include "app/menu_layout.h"
#include "app/startup.h"
#include "scene/errors.h"
#include "win32/main_window.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

// The real main window on the display, driven by Windows messages through the real loop.
namespace vantrel {
namespace {

struct FixedClockHost : Win32Host {
    using Win32Host::Win32Host;
    double SecondsSinceMidnight() override { return cross_host::FixedClock(); }
};

struct Win32HostTest : ::testing::Test {
    void SetUp() override {
        program->random.clock = &cross_host::FixedClock;
        ConnectHost(*program, host);
        ASSERT_TRUE(window.Create(GetModuleHandleA(nullptr), SW_SHOW));
        window.Start(host);
        Pump();
    }
    void TearDown() override {
        DestroyWindow(window.hwnd());
        Pump();
        window.Stop();
    }
    // Hands what is waiting to the loop's own handling, for at least that long.
    void Pump(DWORD milliseconds = 0) {
        const DWORD start = GetTickCount();
        MSG message;
        do {
            while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) window.HandleLoopMessage(message);
        } while (GetTickCount() - start < milliseconds && (Sleep(5), true));
    }
    void Post(UINT message, std::initializer_list<WPARAM> keys) {
        for (WPARAM key : keys) PostMessageA(window.hwnd(), message, key, 1);
    }
    void Key(WORD key, bool control = false) {  // a key press with Ctrl held or not, through the loop
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_CONTROL] = control ? 0x80 : 0;
        SetKeyboardState(keys);
        Post(WM_KEYDOWN, {key});
        Pump();
        keys[VK_CONTROL] = 0;
        SetKeyboardState(keys);
    }
    LRESULT Send(UINT message, WPARAM wParam = 0, int x = 0, int y = 0) {  // a logical client point
        return SendMessageA(window.hwnd(), message, wParam, MAKELPARAM(ToDevice(x, window.ratio()), ToDevice(y, window.ratio())));
    }

    std::unique_ptr<Program> program = std::make_unique<Program>();
    MainWindow window{*program};
    FixedClockHost host{window};
};

TEST_F(Win32HostTest, WindowPanelsAndMenuAreBuiltAsLaidOut) {
    char text[64] = {};
    GetClassNameA(window.hwnd(), text, sizeof(text));
    EXPECT_STREQ(text, "VANTREL");
    RECT client{}, view{};
    GetClientRect(window.hwnd(), &client);
    // Sized without the menu, which then takes its height from the client area.
    EXPECT_EQ(client.right, ToDevice(320, window.ratio()));
    EXPECT_LT(client.bottom, ToDevice(240, window.ratio()));
    for (int id = 1; id <= kPanelCount; ++id) {
        ASSERT_EQ(GetDlgItem(window.hwnd(), id), window.panel(static_cast<PanelId>(id)));
        EXPECT_EQ(GetWindowLongA(window.panel(static_cast<PanelId>(id)), GWL_STYLE) & SS_TYPEMASK, SS_OWNERDRAW);
    }
    GetClientRect(window.panel(PanelId::View), &view);
    EXPECT_EQ(view.right, client.right - ToDevice(16, window.ratio()));
    int popup = -1;
    for (const MenuEntry& entry : MenuBarEntries()) {
        const HMENU bar = GetMenu(window.hwnd());
        const bool title = entry.kind == MenuEntryKind::Popup;
        const UINT at = title ? ++popup : entry.id, by = title ? MF_BYPOSITION : MF_BYCOMMAND;
        if (entry.kind == MenuEntryKind::Separator) continue;
        GetMenuStringA(bar, at, text, sizeof(text), by);
        EXPECT_STREQ(text, entry.text);
        EXPECT_EQ((GetMenuState(bar, at, by) & (title ? MF_GRAYED : MF_CHECKED)) != 0, title ? !entry.enabled : entry.checked);
    }
}

TEST_F(Win32HostTest, AcceleratorsWorkThroughTheLoopAlsoAfterAMenuWasOpenedAndClosed) {
    // F10 opens the menu bar, the arrows reach Object, Return chooses Box.
    Post(WM_SYSKEYDOWN, {VK_F10});
    Post(WM_SYSKEYUP, {VK_F10});
    Post(WM_KEYDOWN, {VK_RIGHT, VK_RIGHT, VK_RIGHT, VK_DOWN, VK_RETURN});
    Pump(100);
    EXPECT_EQ(program->scene.meshTable[program->scene.currentMesh].faceCount, 12);
    Post(WM_SYSKEYDOWN, {VK_F10});
    Post(WM_SYSKEYUP, {VK_F10});
    Post(WM_KEYDOWN, {VK_RIGHT, VK_DOWN, VK_ESCAPE, VK_ESCAPE, VK_ESCAPE});  // opened, then left
    Pump(100);
    for (int mode = 0; mode < kRenderModeCount; ++mode) {
        Key(static_cast<WORD>(VK_F1 + mode));
        EXPECT_EQ(program->scene.cameraTable[program->scene.currentCamera].renderMode, mode);
        EXPECT_TRUE(host.MenuItemChecked(kCommandWireframe + mode));
    }
    Key('L');  // without Ctrl: no accelerator
    EXPECT_TRUE(host.MenuItemChecked(kCommandLight));
    Key('L', true);
    EXPECT_FALSE(host.MenuItemChecked(kCommandLight));
    Key('M', true);
    EXPECT_TRUE(host.MenuItemChecked(kCommandMetallic));
}

TEST_F(Win32HostTest, DragsTurnTheViewByLogicalPixelsAtEveryDpi) {
    for (UINT dpi : {96u, 192u}) {
        RECT outer{}, view{};
        GetWindowRect(window.hwnd(), &outer);
        // Wine keeps one DPI; the message says what Windows says when the window changes screens.
        outer.right += outer.right - outer.left;
        outer.bottom += outer.bottom - outer.top;
        if (dpi != window.dpi()) SendMessageA(window.hwnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&outer));
        EXPECT_EQ(program->shell.pixelRatio, dpi / 96.0);
        GetClientRect(window.panel(PanelId::View), &view);
        EXPECT_NEAR(view.right, RectWidth(program->shell.panels[1]) * dpi / 96.0, 1.0);
        EXPECT_GE(program->shell.backBufferWidth, view.right);
        const float longitude = program->orbit.longitude, latitude = program->orbit.latitude;
        Send(WM_MOUSEMOVE, 0, 100, 100);
        Send(WM_MOUSEMOVE, MK_LBUTTON, 130, 80);
        EXPECT_NEAR(std::fabs(program->orbit.longitude - longitude), 0.30f, 1e-4f) << dpi;
        EXPECT_NEAR(std::fabs(program->orbit.latitude - latitude), 0.20f, 1e-4f) << dpi;
        const auto frames = program->shell.framesRendered;
        Pump(100);  // the real timer draws the frame, then sleeps until the next change
        EXPECT_GT(program->shell.framesRendered, frames);
        EXPECT_FALSE(KillTimer(window.hwnd(), 1)) << "an idle window's timer still runs";
    }
}

HWND g_errorBox = nullptr;
void CALLBACK DismissErrorBox(HWND, UINT, UINT_PTR timer, DWORD) {
    if (!(g_errorBox = FindWindowA("#32770", "Error"))) return;
    KillTimer(nullptr, timer);
    PostMessageA(g_errorBox, WM_COMMAND, IDOK, 0);
}

TEST_F(Win32HostTest, ErrorsShowAModalBoxThatHoldsTheProgramUntilDismissed) {
    SetTimer(nullptr, 0, 50, &DismissErrorBox);
    ReportError(program->scene.reporter, kErrorMeshMemory);
    ASSERT_NE(g_errorBox, nullptr);
    EXPECT_FALSE(IsWindow(g_errorBox));
    EXPECT_EQ(program->shell.modalDepth, 0);
    EXPECT_TRUE(IsWindowEnabled(window.hwnd()));
}

TEST_F(Win32HostTest, ASecondCopyRaisesTheFirstAndExits) {
    bool second = true;
    const HANDLE mutex = ClaimSingleInstance(second);
    ASSERT_FALSE(second);
    ShowWindow(window.hwnd(), SW_MINIMIZE);
    std::string path = "Z:" VANTREL_EXE;
    for (char& c : path) c = c == '/' ? '\\' : c;
    STARTUPINFOA startup{sizeof(startup)};
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessA(path.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
    while (MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, 20000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) Pump();
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    EXPECT_EQ(code, 0u);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    Pump(100);
    EXPECT_FALSE(IsIconic(window.hwnd()));
    EXPECT_EQ(GetForegroundWindow(), window.hwnd());
    EXPECT_EQ(FindWindowExA(nullptr, window.hwnd(), "VANTREL", nullptr), nullptr);
    CloseHandle(mutex);
}

TEST_F(Win32HostTest, ViewMatchesTheQtLayerOutsideTheOverlay) {
    RECT outer{}, client{}, rect{};
    GetWindowRect(window.hwnd(), &outer);
    GetClientRect(window.hwnd(), &client);
    SetWindowPos(window.hwnd(), nullptr, 0, 0, outer.right - outer.left + cross_host::kClientWidth - client.right,
                 outer.bottom - outer.top + cross_host::kClientHeight - client.bottom, SWP_NOMOVE | SWP_NOZORDER);
    Pump();  // the strips painted at their new size, as before any click a user could make
    for (const cross_host::SessionStep& step : cross_host::kSession) {
        const UINT message = step.step == cross_host::Step::Command ? WM_COMMAND
                             : step.step == cross_host::Step::Tick  ? WM_TIMER
                             : step.step == cross_host::Step::LeftClick ? WM_LBUTTONDOWN : WM_MOUSEMOVE;
        const bool left = step.step == cross_host::Step::LeftDrag || step.step == cross_host::Step::LeftClick;
        if (message == WM_COMMAND || message == WM_TIMER) SendMessageA(window.hwnd(), message, message == WM_TIMER ? 1 : step.a, 0);
        else Send(message, left ? MK_LBUTTON : 0, step.a, step.b);
        if (message == WM_LBUTTONDOWN) Send(WM_LBUTTONUP, 0, step.a, step.b);
    }
    // What the view's draw-item message paints, caught in a memory DC.
    const HWND view = window.panel(PanelId::View);
    GetClientRect(view, &rect);
    ASSERT_EQ(rect.right, 320);
    BITMAPINFO info{{sizeof(BITMAPINFOHEADER), rect.right, -rect.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    void* bits = nullptr;
    const HDC dc = ::CreateCompatibleDC(nullptr);
    const HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ previous = ::SelectObject(dc, bitmap);
    DRAWITEMSTRUCT item{ODT_STATIC, 1, 0, ODA_DRAWENTIRE, 0, view, dc, rect, 0};
    SendMessageA(window.hwnd(), WM_DRAWITEM, 1, reinterpret_cast<LPARAM>(&item));
    GdiFlush();
    cross_host::Picture shown;
    shown.width = rect.right;
    shown.height = rect.bottom;
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    for (int i = 0; i < rect.right * rect.bottom; ++i) shown.pixels.push_back(pixels[i] & 0xFFFFFF);
    ::DeleteObject(::SelectObject(dc, previous));
    ::DeleteDC(dc);
    cross_host::MeasureOverlay(*program, window.fonts(), shown);
    EXPECT_EQ(cross_host::CompareWithGolden(shown), "");
}

}  // namespace
}  // namespace vantrel
