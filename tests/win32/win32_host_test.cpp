#include "tests/win32/cross_host_session.h"
#include "app/command_ids.h"
#include "app/menu_layout.h"
#include "app/startup.h"
#include "scene/errors.h"
#include "win32/main_window.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>

// The real main window on the display, driven by Windows messages through the real loop.
namespace vantrel {
namespace {

class FixedClockHost : public Win32Host {
public:
    using Win32Host::Win32Host;
    double SecondsSinceMidnight() override { return cross_host::FixedClock(); }
};

// Sends what the loop has waiting through the loop's own handling, for at least milliseconds.
void Pump(MainWindow& window, DWORD milliseconds = 0) {
    const DWORD start = GetTickCount();
    do {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) window.HandleLoopMessage(message);
        if (milliseconds) Sleep(5);
    } while (GetTickCount() - start < milliseconds);
}

struct Win32HostTest : ::testing::Test {
    void SetUp() override {
        program->random.clock = &cross_host::FixedClock;
        ConnectHost(*program, host);
        ASSERT_TRUE(window.Create(GetModuleHandleA(nullptr), SW_SHOW));
        window.Start(host);
        Pump(window);
    }
    void TearDown() override {
        if (IsWindow(window.hwnd())) DestroyWindow(window.hwnd());
        Pump(window);
        window.Stop();
    }
    LPARAM Point(int x, int y) const {  // a logical client point in the window's pixels
        return MAKELPARAM(ToDevice(x, window.ratio()), ToDevice(y, window.ratio()));
    }
    void Key(WORD key, bool control = false) {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_CONTROL] = control ? 0x80 : 0;
        SetKeyboardState(keys);
        PostMessageA(window.hwnd(), WM_KEYDOWN, key, 1);
        PostMessageA(window.hwnd(), WM_KEYUP, key, 0xC0000001);
        Pump(window);
        keys[VK_CONTROL] = 0;
        SetKeyboardState(keys);
    }
    const Camera& camera() const { return program->scene.cameraTable[program->scene.currentCamera]; }

    std::unique_ptr<Program> program = std::make_unique<Program>();
    MainWindow window{*program};
    FixedClockHost host{window};
};

TEST_F(Win32HostTest, WindowPanelsAndMenuAreBuiltAsLaidOut) {
    char name[32] = {};
    GetClassNameA(window.hwnd(), name, sizeof(name));
    EXPECT_STREQ(name, "VANTREL");
    GetWindowTextA(window.hwnd(), name, sizeof(name));
    EXPECT_STREQ(name, "Vantrel");
    RECT client{};
    GetClientRect(window.hwnd(), &client);
    // Sized without the menu, which then takes its height from the client area.
    EXPECT_EQ(client.right, ToDevice(320, window.ratio()));
    EXPECT_LT(client.bottom, ToDevice(240, window.ratio()));
    for (int id = 1; id <= kPanelCount; ++id) {
        const HWND panel = GetDlgItem(window.hwnd(), id);
        ASSERT_EQ(panel, window.panel(static_cast<PanelId>(id)));
        GetClassNameA(panel, name, sizeof(name));
        EXPECT_STREQ(name, "Static");
        EXPECT_EQ(GetWindowLongA(panel, GWL_STYLE) & SS_TYPEMASK, SS_OWNERDRAW);
    }
    RECT view{};
    GetWindowRect(window.panel(PanelId::View), &view);
    EXPECT_EQ(view.right - view.left, client.right - ToDevice(16, window.ratio()));

    const HMENU bar = GetMenu(window.hwnd());
    int popup = -1;
    for (const MenuEntry& entry : MenuBarEntries()) {
        char text[64] = {};
        if (entry.kind == MenuEntryKind::Popup) {
            GetMenuStringA(bar, ++popup, text, sizeof(text), MF_BYPOSITION);
            EXPECT_EQ((GetMenuState(bar, popup, MF_BYPOSITION) & MF_GRAYED) != 0, !entry.enabled) << entry.text;
        } else if (entry.kind == MenuEntryKind::Item) {
            GetMenuStringA(bar, entry.id, text, sizeof(text), MF_BYCOMMAND);
            EXPECT_EQ((GetMenuState(bar, entry.id, MF_BYCOMMAND) & MF_CHECKED) != 0, entry.checked) << entry.text;
        }
        if (entry.kind != MenuEntryKind::Separator) EXPECT_STREQ(text, entry.text);
    }
    ACCEL table[16];
    ASSERT_EQ(CopyAcceleratorTableA(window.accelerators(), table, 16), 12);
    EXPECT_EQ(table[0].fVirt, FVIRTKEY | FCONTROL);
    EXPECT_EQ(table[0].key, 'L');
    EXPECT_EQ(table[2].key, VK_F1);
}

TEST_F(Win32HostTest, AcceleratorsWorkThroughTheLoopAlsoAfterAMenuWasOpenedAndClosed) {
    // F10 opens the menu bar, the arrows reach Object, Return chooses Box.
    for (WPARAM key : {VK_F10}) {
        PostMessageA(window.hwnd(), WM_SYSKEYDOWN, key, 1);
        PostMessageA(window.hwnd(), WM_SYSKEYUP, key, 0xC0000001);
    }
    for (WPARAM key : {VK_RIGHT, VK_RIGHT, VK_RIGHT, VK_DOWN, VK_RETURN}) PostMessageA(window.hwnd(), WM_KEYDOWN, key, 1);
    Pump(window, 100);
    ASSERT_NE(program->scene.currentMesh, 0);
    EXPECT_EQ(program->scene.meshTable[program->scene.currentMesh].faceCount, 12);  // the box
    // Opened again and left with Escape: the keys reach the accelerators as before.
    PostMessageA(window.hwnd(), WM_SYSKEYDOWN, VK_F10, 1);
    PostMessageA(window.hwnd(), WM_SYSKEYUP, VK_F10, 0xC0000001);
    for (WPARAM key : {VK_RIGHT, VK_DOWN, VK_ESCAPE, VK_ESCAPE, VK_ESCAPE}) PostMessageA(window.hwnd(), WM_KEYDOWN, key, 1);
    Pump(window, 100);
    for (int mode = 0; mode < kRenderModeCount; ++mode) {
        Key(static_cast<WORD>(VK_F1 + mode));
        EXPECT_EQ(camera().renderMode, mode);
        EXPECT_TRUE(host.MenuItemChecked(21 + mode));
    }
    Key('L');  // without Ctrl: no accelerator
    EXPECT_TRUE(host.MenuItemChecked(18));
    Key('L', true);
    EXPECT_FALSE(host.MenuItemChecked(18));
    Key('M', true);
    EXPECT_TRUE(host.MenuItemChecked(29));
}

TEST_F(Win32HostTest, DragsTurnTheViewByLogicalPixelsAtEveryDpi) {
    for (UINT dpi : {96u, 192u}) {
        if (dpi != window.dpi()) {
            RECT outer{};
            GetWindowRect(window.hwnd(), &outer);
            outer.right = outer.left + (outer.right - outer.left) * 2;  // as Windows suggests it
            outer.bottom = outer.top + (outer.bottom - outer.top) * 2;
            SendMessageA(window.hwnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&outer));
        }
        EXPECT_EQ(program->shell.pixelRatio, dpi / 96.0);
        RECT view{};
        GetClientRect(window.panel(PanelId::View), &view);
        EXPECT_NEAR(view.right, RectWidth(program->shell.panels[1]) * dpi / 96.0, 1.0);
        EXPECT_GE(program->shell.backBufferWidth, view.right);
        const float longitude = program->orbit.longitude;
        const float latitude = program->orbit.latitude;
        SendMessageA(window.hwnd(), WM_MOUSEMOVE, 0, Point(100, 100));
        SendMessageA(window.hwnd(), WM_MOUSEMOVE, MK_LBUTTON, Point(130, 80));
        EXPECT_NEAR(std::fabs(program->orbit.longitude - longitude), 0.30f, 1e-4f) << dpi;
        EXPECT_NEAR(std::fabs(program->orbit.latitude - latitude), 0.20f, 1e-4f) << dpi;
        EXPECT_EQ(program->scene.frameDirty, kTrue);
        const auto frames = program->shell.framesRendered;
        Pump(window, 100);  // the real timer draws the frame
        EXPECT_GT(program->shell.framesRendered, frames);
    }
}

TEST_F(Win32HostTest, ClicksOnThePanelsTakeAndPaintColours) {
    SendMessageA(window.hwnd(), WM_COMMAND, 35, 0);
    SendMessageA(window.hwnd(), WM_TIMER, 1, 0);
    SendMessageA(window.hwnd(), WM_MOUSEMOVE, 0, Point(300, 20));
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)));
    SendMessageA(window.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, Point(310, 40));  // the palette
    const ColorRef colour = program->interaction.paintColor;
    EXPECT_NE(colour, 0u);
    SendMessageA(window.hwnd(), WM_MOUSEMOVE, 0, Point(150, 110));
    const std::int32_t face = program->interaction.hoverFace;
    ASSERT_NE(face, 0);
    SendMessageA(window.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, Point(150, 110));
    const ColorRGB painted = program->scene.facePool[face].color;
    EXPECT_EQ(painted.r | painted.g << 8 | painted.b << 16, colour);
}

HWND g_errorBox = nullptr;
char g_errorText[128] = {};
void CALLBACK DismissErrorBox(HWND, UINT, UINT_PTR timer, DWORD) {
    g_errorBox = FindWindowA("#32770", "Error");
    if (!g_errorBox) return;
    KillTimer(nullptr, timer);
    GetDlgItemTextA(g_errorBox, 0xFFFF, g_errorText, sizeof(g_errorText));
    PostMessageA(g_errorBox, WM_COMMAND, IDOK, 0);
}

TEST_F(Win32HostTest, ErrorsShowAModalBoxThatHoldsTheProgramUntilDismissed) {
    SetTimer(nullptr, 0, 50, &DismissErrorBox);
    ReportError(program->scene.reporter, kErrorMeshMemory);
    ASSERT_NE(g_errorBox, nullptr);
    EXPECT_FALSE(IsWindow(g_errorBox));
    EXPECT_STREQ(g_errorText, ErrorMessage(kErrorMeshMemory));
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
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessA(path.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
    // The first copy keeps handling its messages while the second one looks for its window.
    while (MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, 20000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) Pump(window);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    EXPECT_EQ(code, 0u);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    Pump(window, 100);
    EXPECT_FALSE(IsIconic(window.hwnd()));
    EXPECT_EQ(GetForegroundWindow(), window.hwnd());
    EXPECT_EQ(FindWindowExA(nullptr, window.hwnd(), "VANTREL", nullptr), nullptr);
    CloseHandle(mutex);
}

TEST_F(Win32HostTest, ViewMatchesTheQtLayerOutsideTheOverlay) {
    RECT outer{}, client{};
    GetWindowRect(window.hwnd(), &outer);
    GetClientRect(window.hwnd(), &client);
    SetWindowPos(window.hwnd(), nullptr, 0, 0, outer.right - outer.left + cross_host::kClientWidth - client.right,
                 outer.bottom - outer.top + cross_host::kClientHeight - client.bottom, SWP_NOMOVE | SWP_NOZORDER);
    Pump(window);  // the strips painted at their new size, as before any click a user could make
    for (const cross_host::SessionStep& step : cross_host::kSession) {
        switch (step.step) {
            case cross_host::Step::Command: SendMessageA(window.hwnd(), WM_COMMAND, step.a, 0); break;
            case cross_host::Step::Move: SendMessageA(window.hwnd(), WM_MOUSEMOVE, 0, Point(step.a, step.b)); break;
            case cross_host::Step::LeftDrag: SendMessageA(window.hwnd(), WM_MOUSEMOVE, MK_LBUTTON, Point(step.a, step.b)); break;
            case cross_host::Step::LeftClick:
                SendMessageA(window.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, Point(step.a, step.b));
                SendMessageA(window.hwnd(), WM_LBUTTONUP, 0, Point(step.a, step.b));
                break;
            case cross_host::Step::Tick: SendMessageA(window.hwnd(), WM_TIMER, 1, 0); break;
        }
    }
    // What the view's draw-item message paints, caught in a memory DC.
    const HWND view = window.panel(PanelId::View);
    RECT rect{};
    GetClientRect(view, &rect);
    ASSERT_EQ(rect.right, 320);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), rect.right, -rect.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
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
    cross_host::OverlayBox(*program, window.fonts(), shown.boxWidth, shown.boxHeight);
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    for (int i = 0; i < rect.right * rect.bottom; ++i) shown.pixels.push_back(pixels[i] & 0xFFFFFF);
    ::SelectObject(dc, previous);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);

    cross_host::Picture golden;
    ASSERT_TRUE(cross_host::ReadPicture(cross_host::GoldenPath(), golden)) << cross_host::GoldenPath();
    std::string first;
    const std::int32_t differences = cross_host::DifferencesOutsideOverlay(golden, shown, first);
    EXPECT_EQ(differences, 0) << "first at " << first << "; this layer's view is in cross_host_view.win32.ppm";
    if (differences != 0) cross_host::WritePicture("cross_host_view.win32.ppm", shown);
    EXPECT_NE(shown.pixels[200 * 320 + 300], shown.pixels[120 * 320 + 160]);  // not a blank view
}

}  // namespace
}  // namespace vantrel
