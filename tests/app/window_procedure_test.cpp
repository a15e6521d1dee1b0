#include <numbers>
#include <vector>

#include <gtest/gtest.h>

#include "app/command_ids.h"
#include "app/frame.h"
#include "app_fixture.h"
#include "render/render_threads.h"
#include "objects/command_ids.h"
#include "canvas/canvas.h"

namespace vantrel {
namespace {

using WindowProcedureTest = AppTest;

std::uint32_t ScreenPixel(const RecordingHost& host, PanelId panel, int x, int y) {
    const Surface& screen = host.Screen(panel);
    return screen.pixels[y * screen.pitch + x];
}

TEST_F(WindowProcedureTest, PanelsAreLaidOutAlongTheEdges) {
    EXPECT_EQ(host.PanelPlace(PanelId::View).right, kViewWidth);
    EXPECT_EQ(host.PanelPlace(PanelId::View).bottom, kViewHeight);
    const PanelRect palette = host.PanelPlace(PanelId::Palette);
    EXPECT_EQ(palette.left, kViewWidth);
    EXPECT_EQ(palette.right, kClientWidth);
    EXPECT_EQ(palette.bottom, kViewHeight);
    const PanelRect shine = host.PanelPlace(PanelId::Shine);
    EXPECT_EQ(shine.left, 0);
    EXPECT_EQ(shine.right, kClientWidth);  // also under the palette
    EXPECT_EQ(shine.top, kViewHeight);
    EXPECT_EQ(shine.bottom, kClientHeight);
    EXPECT_EQ(PanelAtPoint(program.shell, kViewWidth - 1, 0), PanelId::View);
    EXPECT_EQ(PanelAtPoint(program.shell, kViewWidth, 0), PanelId::Palette);
    EXPECT_EQ(PanelAtPoint(program.shell, kClientWidth - 1, kClientHeight - 1), PanelId::Shine);
    EXPECT_EQ(PanelAtPoint(program.shell, kClientWidth, 5), PanelId::None);

    // A client area thinner than the strips leaves an empty view, not a negative one.
    PanelRect tiny[kPanelCount + 1];
    LayoutPanelRects(10, 5, tiny);
    EXPECT_EQ(RectWidth(tiny[1]), 0);
    EXPECT_EQ(RectHeight(tiny[1]), 0);
}

TEST_F(WindowProcedureTest, FramesAreDrawnAtTicksOnlyWhenDue) {
    // The size message ran before any tick: the scene exists, so it rendered at once.
    EXPECT_EQ(program.shell.framesRendered, 1);
    Program fresh;
    RecordingHost freshHost;
    freshHost.program = &fresh;
    StartProgram(fresh, freshHost);
    EXPECT_EQ(fresh.shell.framesRendered, 0);  // no frame before the first tick
    WindowProcedure(fresh, TimerMessage());
    EXPECT_EQ(fresh.shell.framesRendered, 1);
    StopProgram(fresh);

    // A tick with nothing due leaves the back buffer and the view alone.
    SetPixel(program.target.dc, 5, 100, 0x0000FF00);
    const int repaints = host.repaints[1];
    Tick();
    EXPECT_EQ(GetPixel(program.target.dc, 5, 100), 0x0000FF00u);
    EXPECT_EQ(host.repaints[1], repaints);
    EXPECT_EQ(program.shell.framesRendered, 1);

    // Ten drag moves between two ticks make one frame.
    for (int i = 0; i < 10; ++i) Send(MouseMessage(MessageKind::MouseMove, kMouseLeft, 100 + i, 50));
    Tick();
    Tick();
    EXPECT_EQ(program.shell.framesRendered, 2);
    EXPECT_NE(GetPixel(program.target.dc, 5, 100), 0x0000FF00u);  // the frame repainted the view's area
}

TEST_F(WindowProcedureTest, TheTimerRunsOnlyWhileATickHasWork) {
    // Hovering, taking a colour (drawn at once): at rest. A command, drag moves, painting the face
    // under the pointer: woken once each, put back to rest by the tick that draws the frame.
    const std::int32_t x = kViewWidth / 2, y = kViewHeight / 2;
    std::string told;
    for (const Message& change : {MouseMessage(MessageKind::RightButtonDown, kMouseRight, x, y), CommandMessage(kCommandBox),
                                  MouseMessage(MessageKind::MouseMove, kMouseLeft, x + 9, y), MouseMessage(MessageKind::MouseMove, kMouseLeft, x, y),
                                  MouseMessage(MessageKind::MouseMove, 0, x, y), MouseMessage(MessageKind::LeftButtonDown, kMouseLeft, x, y)}) {
        Send(change);
        told += host.ticking ? '+' : '-';
        Tick();
        told += host.ticking ? '+' : '-';
    }
    EXPECT_EQ(told, "--+-+-+---+-");
    EXPECT_EQ(host.tickChanges, 9);  // the first frame's rest, then one start and one stop per frame
}

TEST_F(WindowProcedureTest, ThePresentedViewShowsTheBackBuffer) {
    Command(kCommandSphere);
    Tick();
    // Background gradient at the bottom, black at the top, the sphere in the middle.
    const std::uint32_t centre = ScreenPixel(host, PanelId::View, kViewWidth / 2, kViewHeight / 2);
    EXPECT_EQ(centre, DcSurface(program.target.dc)->pixels[kViewHeight / 2 * DcSurface(program.target.dc)->pitch + kViewWidth / 2]);
    const ColorRef bottom = ColorRefFromPixel(ScreenPixel(host, PanelId::View, kViewWidth - 1, kViewHeight - 1));
    EXPECT_GT(bottom >> 16, 0xE0u);  // nearly pure blue
    EXPECT_EQ(bottom & 0xFFFFu, 0u);
    EXPECT_NE(ColorRefFromPixel(centre) & 0xFFFFu, 0u);  // the sphere's colour, not background blue

    // Into memory a canvas offers, part of a panel far larger than the back buffer, copied in
    // bands on three threads: the back buffer where it reaches, black beyond, nothing outside.
    struct MemoryCanvas : PanelCanvas {
        void Show(const Surface&, std::int32_t, std::int32_t, const PanelRect&) override { ADD_FAILURE(); }
        DevicePixels WritablePixels() override { return {Surface{2090, 2080, 2100, memory.data() + 2101}, 5, 7}; }
        std::vector<std::uint32_t> memory = std::vector<std::uint32_t>(2100 * 2100, 7u);
    } canvas;
    program.work.threads = std::make_unique<RenderThreads>(3);
    Send(DrawItemMessage(PanelId::View, PanelRect{0, 0, 2090, 2100}, canvas));
    const Surface& buffer = *DcSurface(program.target.dc);
    int wrong = 0;
    for (std::int32_t row = 0; row < 2100; ++row) {
        for (std::int32_t column = 0; column < 2100; ++column) {
            const std::int32_t x = column - 1 + 5, y = row - 1 + 7;  // the panel's device pixel there
            const bool offered = row >= 1 && row <= 2080 && column >= 1 && column <= 2090 && x < 2090;
            const bool covered = x < buffer.width && y < buffer.height;
            wrong += canvas.memory[row * 2100 + column] !=
                     (!offered ? 7u : covered ? buffer.pixels[y * buffer.pitch + x] : 0xFF000000u);
        }
    }
    EXPECT_EQ(wrong, 0);
}

TEST_F(WindowProcedureTest, AFrameDrawnStraightIntoTheWindowIsTheBackBuffersFrame) {
    // In every mode with the three effects, the frame drawn in place shows the pixels the back
    // buffer would; the back buffer catches up before a hover outline is inverted in it, so the
    // outline comes and goes over the same picture.
    Command(kCommandSphere);
    for (std::int32_t id : {kCommandDoubleSided, kCommandMetallic, kCommandAtmosphere}) Command(id);
    const Surface& screen = host.Screen(PanelId::View);
    const auto shown = [&screen] { return std::vector<std::uint32_t>(screen.pixels, screen.pixels + screen.height * screen.pitch); };
    const auto frame = [this](bool inPlace) {
        host.offerPixels = inPlace;
        program.scene.frameDirty = kTrue;
        Tick();
    };
    for (std::int32_t mode = 0; mode <= 5; ++mode) {
        Command(kCommandWireframe + mode);
        frame(false);
        const std::vector<std::uint32_t> copied = shown();
        frame(true);
        EXPECT_EQ(program.shell.framePixels, FramePixels::InWindowOnly) << mode;
        EXPECT_EQ(shown(), copied) << mode;
        Send(MouseMessage(MessageKind::MouseMove, 0, kViewWidth / 2 + 9, kViewHeight / 2 + 6));  // on a face
        EXPECT_EQ(program.shell.framePixels, FramePixels::InBackBuffer) << mode;
        EXPECT_NE(shown(), copied) << mode;
        Send(MouseMessage(MessageKind::MouseMove, 0, 2, kViewHeight - 2));
        EXPECT_EQ(shown(), copied) << mode;
    }

    // An error box while the next frame is prepared: repaints show the back buffer as it is,
    // not the last frame from half-rewritten work.
    frame(true);
    Camera& camera = program.scene.cameraTable[program.scene.currentCamera];
    camera.nearClip = 0;
    host.whileErrorBoxOpen = [this] {
        EXPECT_EQ(program.shell.framePixels, FramePixels::Replaced);
        PresentView(program);
    };
    frame(true);
    host.whileErrorBoxOpen = nullptr;
    EXPECT_EQ(host.errorTexts.size(), 1u);
    EXPECT_EQ(program.shell.framePixels, FramePixels::InWindowOnly);
    camera.nearClip = 1;

    // Labels are drawn from the scene, not the work arrays: such frames go through the back buffer.
    Command(kCommandText);
    frame(true);
    EXPECT_EQ(program.shell.framePixels, FramePixels::InBackBuffer);
}

TEST_F(WindowProcedureTest, MinimisingKeepsThePanelsAndRestoringRendersAtOnce) {
    const int moves = host.panelMoves;
    Send(SizeMessage(kSizeMinimized, 0, 0));
    EXPECT_EQ(host.panelMoves, moves);
    EXPECT_EQ(RectWidth(program.shell.panels[1]), kViewWidth);
    const auto frames = program.shell.framesRendered;
    Send(SizeMessage(kSizeRestored, kClientWidth, kClientHeight));
    EXPECT_EQ(program.shell.framesRendered, frames + 1);
    EXPECT_EQ(program.scene.frameDirty, kFalse);
}

TEST_F(WindowProcedureTest, MouseMessagesGoToThePanelUnderThePointer) {
    // Outside every panel nothing happens.
    const int cursorChanges = host.cursorChanges;
    const Orbit before = program.orbit;
    Send(MouseMessage(MessageKind::MouseMove, kMouseLeft, -3, 10));
    Send(MouseMessage(MessageKind::LeftButtonDown, kMouseLeft, kClientWidth + 2, 10));
    Send(MouseMessage(MessageKind::MouseMove, kMouseLeft, 20, kClientHeight));
    EXPECT_EQ(host.cursorChanges, cursorChanges);
    EXPECT_EQ(program.orbit.longitude, before.longitude);
    EXPECT_EQ(program.scene.frameDirty, kFalse);

    // A left drag of 100 pixels to the right over the view turns the longitude back 1 radian.
    Send(MouseMessage(MessageKind::MouseMove, 0, 50, 50));
    Send(MouseMessage(MessageKind::MouseMove, kMouseLeft, 150, 50));
    EXPECT_NEAR(program.orbit.longitude, -1.0f, 1e-5);
    EXPECT_EQ(host.cursor, CursorShape::SizeAll);

    // The strips get strip coordinates: the shine strip's centre means shine 0, its end 1.
    Send(MouseMessage(MessageKind::LeftButtonDown, kMouseLeft, kClientWidth - 1, kClientHeight - 8));
    EXPECT_FLOAT_EQ(program.interaction.paintShine, 1.0f - 1.0f / 160);
    Send(MouseMessage(MessageKind::MouseMove, kMouseLeft, kClientWidth / 2, kClientHeight - 8));
    EXPECT_FLOAT_EQ(program.interaction.paintShine, 0.0f);
    EXPECT_EQ(host.cursor, CursorShape::SizeWestEast);

    // The palette picks the colour shown at the point (red just below magenta at the top).
    const int shineRepaints = host.repaints[3];
    Send(MouseMessage(MessageKind::LeftButtonDown, kMouseLeft, kViewWidth + 8, kViewHeight / 7));
    EXPECT_EQ(host.cursor, CursorShape::CrossHair);
    EXPECT_EQ(program.interaction.paintColor, 0x000000FFu);
    EXPECT_EQ(host.repaints[3], shineRepaints + 1);
    // The right button over the palette only sets the cursor.
    Send(MouseMessage(MessageKind::RightButtonDown, kMouseRight, kViewWidth + 8, kViewHeight - 2));
    EXPECT_EQ(program.interaction.paintColor, 0x000000FFu);
}

TEST_F(WindowProcedureTest, ShiftSteersTheLightUntilReleased) {
    Settle();
    Send(KeyMessage(MessageKind::KeyDown, kVirtualKeyShift));
    Send(KeyMessage(MessageKind::KeyDown, kVirtualKeyShift));  // auto-repeat
    EXPECT_EQ(program.scene.meshRange.count, 1);               // one pointer however long it repeats
    EXPECT_EQ(program.scene.frameDirty, kFalse);
    Send(MouseMessage(MessageKind::MouseMove, 0, 200, 10));
    Send(MouseMessage(MessageKind::MouseMove, kMouseLeft, 200 - 157, 10));  // about pi/2 round
    Tick();
    const Vector3 eye = program.scene.cameraTable[1].eye;
    EXPECT_NEAR(eye.z, -200, 1e-3);  // the camera stayed
    EXPECT_NEAR(program.scene.lightTable[1].position.x, 200, 1);
    Send(KeyMessage(MessageKind::KeyUp, kVirtualKeyShift));
    EXPECT_EQ(program.scene.meshRange.count, 0);
    Tick();
    EXPECT_NEAR(program.scene.cameraTable[1].eye.x, 200, 1);  // the camera jumps to the light
}

TEST_F(WindowProcedureTest, AViewLargerThanTheBackBufferGrowsItAndMemoryGoesBackOnceItIsSmallAgain) {
    Program small;
    RecordingHost smallHost;
    smallHost.program = &small;
    smallHost.screenWidth = 100;
    smallHost.screenHeight = 80;
    StartProgram(small, smallHost);
    WindowProcedure(small, SizeMessage(kSizeRestored, 416, 316));
    const Surface* surface = DcSurface(small.target.dc);
    ASSERT_NE(surface, nullptr);
    EXPECT_GE(surface->width, 400);
    EXPECT_GE(surface->height, 300);
    // The view's far corner shows the frame's background, blue at the bottom edge.
    const Surface& screen = smallHost.Screen(PanelId::View);
    const ColorRef corner = ColorRefFromPixel(screen.pixels[299 * screen.pitch + 399]);
    EXPECT_GT(corner >> 16, 0xF0u);
    // Resizing keeps the larger buffer while it holds at most four times what the view needs;
    // below that it goes back to the screen's size.
    for (const auto& [width, height] : {std::pair(216, 166), std::pair(416, 96), std::pair(116, 316)}) {
        WindowProcedure(small, SizeMessage(kSizeRestored, width, height));
        EXPECT_EQ(DcSurface(small.target.dc), surface) << width << " x " << height;
    }
    WindowProcedure(small, SizeMessage(kSizeRestored, 66, 46));
    EXPECT_EQ(std::pair(DcSurface(small.target.dc)->width, DcSurface(small.target.dc)->height), std::pair(100, 80));
    WindowProcedure(small, SizeMessage(kSizeRestored, 1016, 816));
    WindowProcedure(small, SizeMessage(kSizeRestored, 216, 166));  // the view, larger than the screen
    EXPECT_EQ(std::pair(small.shell.backBufferWidth, small.shell.backBufferHeight), std::pair(200, 150));
    StopProgram(small);
}

TEST_F(WindowProcedureTest, PaintBeforeTheBackBufferExistsCopiesNothing) {
    Program early;
    RecordingHost earlyHost;
    earlyHost.program = &early;
    ConnectHost(early, earlyHost);
    WindowProcedure(early, SizeMessage(kSizeRestored, 100, 100));  // no scene yet: no frame
    EXPECT_EQ(early.shell.framesRendered, 0);
    // Left black as created: a copied background would show blue along the bottom row.
    const Surface& screen = earlyHost.Screen(PanelId::View);
    ASSERT_EQ(screen.height, 84);
    EXPECT_EQ(screen.pixels[(screen.height - 1) * screen.pitch + screen.width / 2], 0xFF000000u);
    EXPECT_EQ(WindowProcedure(early, DestroyMessage()), 0);
    EXPECT_EQ(earlyHost.quitCode, 0);
    StopProgram(early);
}

TEST_F(WindowProcedureTest, NothingRunsWhileAnErrorBoxIsOpen) {
    Command(kCommandBox);
    Tick();
    const auto frames = program.shell.framesRendered;
    Camera& camera = program.scene.cameraTable[program.scene.currentCamera];
    camera.nearClip = 0;  // the next frame reports bad camera settings
    int nested = 0;
    host.whileErrorBoxOpen = [&] {
        ++nested;
        // The box's own event loop keeps delivering messages.
        program.scene.frameDirty = kTrue;
        Tick();
        Command(kCommandLight);
        Command(kCommandSphere);
        Send(MouseMessage(MessageKind::MouseMove, kMouseLeft, 10, 10));
        Send(KeyMessage(MessageKind::KeyDown, kVirtualKeyShift));
        EXPECT_FALSE(host.ticking) << "a tick can do nothing while the box is open";
    };
    Send(MouseMessage(MessageKind::MouseMove, kMouseLeft, 20, 20));
    Tick();
    EXPECT_TRUE(host.ticking);
    host.whileErrorBoxOpen = nullptr;
    ASSERT_EQ(host.errorTexts.size(), 1u);
    EXPECT_EQ(host.errorTexts[0], "Error: Bad camera settings!");
    EXPECT_EQ(nested, 1);
    EXPECT_EQ(program.shell.modalDepth, 0);
    EXPECT_EQ(program.shell.framesRendered, frames + 1);  // the interrupted frame, finished once
    EXPECT_TRUE(host.MenuItemChecked(kCommandLight));
    EXPECT_EQ(program.scene.meshTable[program.scene.currentMesh].faceCount, 12);  // still the box
    EXPECT_EQ(program.interaction.lightPlacement, kFalse);
    // What the box held back is still due and drawn at the next tick.
    EXPECT_EQ(program.scene.frameDirty, kTrue);
    camera.nearClip = 1;
    Tick();
    EXPECT_EQ(program.shell.framesRendered, frames + 2);
}

TEST_F(WindowProcedureTest, AShiftReleaseDuringAnErrorBoxActsOnceTheBoxHasClosed) {
    Settle();
    Send(KeyMessage(MessageKind::KeyDown, kVirtualKeyShift));
    ASSERT_EQ(program.scene.meshRange.count, 1);  // the pointer
    Camera& camera = program.scene.cameraTable[program.scene.currentCamera];
    camera.nearClip = 0;  // the next frame reports bad camera settings
    std::vector<MessageKind> keysInBox;
    host.whileErrorBoxOpen = [&] {
        for (const MessageKind kind : keysInBox) Send(KeyMessage(kind, kVirtualKeyShift));
        // Nothing is carried out while the box is open.
        EXPECT_EQ(program.interaction.lightPlacement, kTrue);
    };

    // Released while the box is open: the pointer goes at the first tick after it closed.
    keysInBox = {MessageKind::KeyUp};
    program.scene.frameDirty = kTrue;
    Tick();
    ASSERT_EQ(host.errorTexts.size(), 1u);
    EXPECT_EQ(program.interaction.lightPlacement, kTrue);
    EXPECT_TRUE(host.ticking) << "the held-back release waits for a tick";
    camera.nearClip = 1;
    Tick();
    EXPECT_EQ(program.interaction.lightPlacement, kFalse);
    EXPECT_EQ(program.interaction.lightPointer, 0);
    EXPECT_EQ(program.scene.meshRange.count, 0);
    const auto frames = program.shell.framesRendered;
    Tick();
    EXPECT_EQ(program.shell.framesRendered, frames);  // delivered once, the frame drawn at once

    // Released and pressed again inside the box: Shift is still held afterwards.
    Send(KeyMessage(MessageKind::KeyDown, kVirtualKeyShift));
    camera.nearClip = 0;
    keysInBox = {MessageKind::KeyUp, MessageKind::KeyDown};
    program.scene.frameDirty = kTrue;
    Tick();
    ASSERT_EQ(host.errorTexts.size(), 2u);
    camera.nearClip = 1;
    Tick();
    EXPECT_EQ(program.interaction.lightPlacement, kTrue);
    EXPECT_EQ(program.scene.meshRange.count, 1);
    host.whileErrorBoxOpen = nullptr;
}

}  // namespace
}  // namespace vantrel
