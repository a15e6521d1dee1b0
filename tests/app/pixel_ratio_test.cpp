// The program on a high-density screen: the same logical window, drawn in device pixels.
#include <memory>

#include <gtest/gtest.h>

#include "app/command_ids.h"
#include "app/message.h"
#include "app/recording_host.h"
#include "app/startup.h"
#include "app/window_procedure.h"
#include "objects/command_ids.h"

namespace vantrel {
namespace {

struct RatioRun {
    RatioRun(double ratio, std::int32_t width, std::int32_t height) {
        host.pixelRatio = ratio;
        host.program = program.get();
        StartProgram(*program, host);
        Send(SizeMessage(kSizeRestored, width, height));
    }
    ~RatioRun() { StopProgram(*program); }
    void Send(const Message& message) { WindowProcedure(*program, message); }
    void Mouse(MessageKind kind, std::int32_t keys, std::int32_t x, std::int32_t y) {
        Send(MouseMessage(kind, keys, x, y));
    }
    std::uint32_t Shown(PanelId panel, std::int32_t x, std::int32_t y) const {
        const Surface& screen = host.Screen(panel);
        return screen.pixels[y * screen.pitch + x];
    }

    std::unique_ptr<Program> program = std::make_unique<Program>();
    RecordingHost host;
};

TEST(PixelRatio, TheViewAtRatioTwoIsTheRatioOneFrameOfItsDeviceSize) {
    for (const std::int32_t mode : {kCommandWireframe, kCommandShaded, kCommandOutlined, kCommandGradient}) {
        RatioRun fine(2, 200, 150);
        RatioRun plain(1, 2 * (200 - 16) + 16, 2 * (150 - 16) + 16);
        for (RatioRun* run : {&fine, &plain}) {
            run->Send(CommandMessage(kCommandTorus));
            run->Send(CommandMessage(mode));
            run->Mouse(MessageKind::MouseMove, 0, 60, 40);
            run->Mouse(MessageKind::MouseMove, kMouseLeft, 83, 71);  // the same turn in logical pixels
            run->Send(KeyMessage(MessageKind::KeyDown, kVirtualKeyShift));  // and the light pointer's lines
            run->Send(TimerMessage());
        }
        const Surface& a = fine.host.Screen(PanelId::View);
        const Surface& b = plain.host.Screen(PanelId::View);
        ASSERT_EQ(a.width, 368);
        ASSERT_EQ(a.height, b.height);
        ASSERT_EQ(a.width, b.width);
        std::int32_t differing = 0, finerThanBlocks = 0;
        for (std::int32_t y = 0; y < a.height; ++y) {
            for (std::int32_t x = 0; x < a.width; ++x) differing += fine.Shown(PanelId::View, x, y) != plain.Shown(PanelId::View, x, y);
        }
        for (std::int32_t y = 0; y + 1 < a.height; y += 2) {
            for (std::int32_t x = 0; x + 1 < a.width; x += 2) {
                const std::uint32_t p = fine.Shown(PanelId::View, x, y);
                finerThanBlocks += p != fine.Shown(PanelId::View, x + 1, y) || p != fine.Shown(PanelId::View, x, y + 1);
            }
        }
        EXPECT_EQ(differing, 0) << "mode " << mode;
        EXPECT_GT(finerThanBlocks, 200) << "mode " << mode;
    }
}

TEST(PixelRatio, DragsTurnAlikeAndClicksFindWhatIsUnderThePointer) {
    float turnAtOne = 0;
    for (const double ratio : {1.0, 1.5, 2.0}) {
        RatioRun run(ratio, 320, 240);
        run.Send(CommandMessage(kCommandSphere));
        run.Send(CommandMessage(kCommandSolid));
        run.Send(TimerMessage());
        // A drag of 37 logical pixels turns the orbit by the same angle at every ratio.
        const float before = run.program->orbit.longitude;
        run.Mouse(MessageKind::MouseMove, 0, 40, 40);
        run.Mouse(MessageKind::MouseMove, kMouseLeft, 77, 40);
        if (ratio == 1.0) turnAtOne = run.program->orbit.longitude - before;
        EXPECT_FLOAT_EQ(run.program->orbit.longitude - before, turnAtOne) << ratio;
        EXPECT_NEAR(turnAtOne, -0.37f, 1e-5f);
        run.Send(TimerMessage());

        // The palette gives the colour shown under the pointer.
        run.Mouse(MessageKind::LeftButtonDown, kMouseLeft, 304 + 7, 61);
        const std::int32_t px = DevicePixelUnder(7, ratio), py = DevicePixelUnder(61, ratio);
        EXPECT_EQ(run.program->interaction.paintColor, ColorRefFromPixel(run.Shown(PanelId::Palette, px, py))) << ratio;

        // Each click paints the face under the pointer: its pixel there takes the colour (the
        // white edges drawn over the faces aside).
        std::int32_t painted = 0;
        for (std::int32_t k = 0; k < 12; ++k) {
            const std::int32_t x = 121 + 6 * k, y = 101 + 3 * k;  // below the overlay
            const std::int32_t dx = DevicePixelUnder(x, ratio), dy = DevicePixelUnder(y, ratio);
            if (run.Shown(PanelId::View, dx, dy) == 0xFFFFFFFFu) continue;
            const ColorRef color = 0x00102030u + static_cast<ColorRef>(k) * 0x00050709u;
            run.program->interaction.paintColor = color;
            run.Mouse(MessageKind::MouseMove, 0, x, y);
            run.Mouse(MessageKind::LeftButtonDown, kMouseLeft, x, y);
            run.Send(TimerMessage());
            EXPECT_EQ(ColorRefFromPixel(run.Shown(PanelId::View, dx, dy)), color) << ratio << " at " << x << "," << y;
            ++painted;
        }
        EXPECT_GE(painted, 8) << ratio;
    }
}

TEST(PixelRatio, ARatioChangeRecreatesTheBackBufferAtOnceButWaitsForAnErrorBox) {
    RatioRun run(1, 200, 150);
    Program& program = *run.program;
    run.Send(CommandMessage(kCommandBox));
    run.Send(TimerMessage());
    const auto frames = program.shell.framesRendered;
    run.host.pixelRatio = 2;
    run.Send(DpiChangedMessage());
    EXPECT_EQ(program.shell.backBufferWidth, 1280);
    EXPECT_EQ(program.shell.framesRendered, frames + 1);
    EXPECT_EQ(run.host.Screen(PanelId::View).width, 368);
    EXPECT_EQ(run.host.Screen(PanelId::Palette).width, 32);
    EXPECT_EQ(run.host.Screen(PanelId::Shine).height, 32);

    // Inside an error box the back buffer the interrupted frame draws into stays.
    program.scene.cameraTable[program.scene.currentCamera].nearClip = 0;
    run.host.whileErrorBoxOpen = [&] {
        run.host.pixelRatio = 1.5;
        run.Send(DpiChangedMessage());
        EXPECT_EQ(program.shell.backBufferWidth, 1280);
    };
    program.scene.frameDirty = kTrue;
    run.Send(TimerMessage());
    run.host.whileErrorBoxOpen = nullptr;
    ASSERT_EQ(run.host.errorTexts.size(), 1u);
    EXPECT_EQ(program.shell.pixelRatio, 2);
    program.scene.cameraTable[program.scene.currentCamera].nearClip = 1;
    run.Send(TimerMessage());
    EXPECT_EQ(program.shell.pixelRatio, 1.5);
    EXPECT_EQ(program.shell.backBufferWidth, 960);
    EXPECT_EQ(run.host.Screen(PanelId::View).width, 276);
}

}  // namespace
}  // namespace vantrel
