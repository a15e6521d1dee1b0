// The program on a high-density screen: the same logical window, drawn in device pixels.
#include <memory>
#include <utility>

#include <gtest/gtest.h>

#include "app/command_ids.h"
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
    void Mouse(MessageKind kind, std::int32_t keys, std::int32_t x, std::int32_t y) { Send(MouseMessage(kind, keys, x, y)); }
    std::uint32_t Shown(std::int32_t x, std::int32_t y, PanelId panel = PanelId::View) const {
        return host.Screen(panel).pixels[y * host.Screen(panel).pitch + x];
    }
    std::unique_ptr<Program> program = std::make_unique<Program>();
    RecordingHost host;
};

TEST(PixelRatio, TheViewAtRatioTwoIsTheRatioOneFrameOfItsDeviceSizeNotBlocks) {
    for (const std::int32_t mode : {kCommandWireframe, kCommandShaded, kCommandOutlined, kCommandGradient}) {
        RatioRun fine(2, 200, 150), plain(1, 2 * (200 - 16) + 16, 2 * (150 - 16) + 16);
        for (RatioRun* run : {&fine, &plain}) {
            for (const std::int32_t command : {kCommandTorus, mode}) run->Send(CommandMessage(command));
            run->Mouse(MessageKind::MouseMove, 0, 60, 40);
            run->Mouse(MessageKind::MouseMove, kMouseLeft, 83, 71);  // the same turn in logical pixels
            run->Send(KeyMessage(MessageKind::KeyDown, kVirtualKeyShift));  // and the light pointer's lines
            run->Send(TimerMessage());
        }
        ASSERT_EQ(std::pair(fine.host.Screen(PanelId::View).width, fine.host.Screen(PanelId::View).height), std::pair(368, 268));
        std::int32_t differing = 0, finerThanBlocks = 0;
        for (std::int32_t y = 0; y < 268; ++y) {
            for (std::int32_t x = 0; x < 368; ++x) {
                differing += fine.Shown(x, y) != plain.Shown(x, y);
                const bool corner = x % 2 == 0 && y % 2 == 0;  // of an aligned 2 x 2 block
                finerThanBlocks += corner && (fine.Shown(x, y) != fine.Shown(x + 1, y) || fine.Shown(x, y) != fine.Shown(x, y + 1));
            }
        }
        EXPECT_EQ(differing, 0) << "mode " << mode;
        EXPECT_GT(finerThanBlocks, 200) << "mode " << mode;
    }
}

TEST(PixelRatio, DragsTurnAlikeAndClicksFindWhatIsUnderThePointer) {
    for (const double ratio : {1.0, 1.5, 2.0}) {
        RatioRun run(ratio, 320, 240);
        for (const std::int32_t command : {kCommandSphere, kCommandSolid}) run.Send(CommandMessage(command));
        const float before = run.program->orbit.longitude;
        run.Mouse(MessageKind::MouseMove, 0, 40, 40);
        run.Mouse(MessageKind::MouseMove, kMouseLeft, 77, 40);
        EXPECT_FLOAT_EQ(run.program->orbit.longitude - before, -0.37f) << ratio;  // 37 logical pixels
        run.Send(TimerMessage());
        run.Mouse(MessageKind::LeftButtonDown, kMouseLeft, 304 + 7, 61);  // the colour shown there
        EXPECT_EQ(run.program->interaction.paintColor,
                  ColorRefFromPixel(run.Shown(DevicePixelUnder(7, ratio), DevicePixelUnder(61, ratio), PanelId::Palette)));
        // A click paints the face whose pixel is under the pointer (white edges over the faces aside).
        std::int32_t painted = 0;
        for (std::int32_t k = 0; k < 12; ++k) {
            const std::int32_t x = 121 + 6 * k, y = 101 + 3 * k;  // below the overlay
            const std::int32_t dx = DevicePixelUnder(x, ratio), dy = DevicePixelUnder(y, ratio);
            if (run.Shown(dx, dy) == 0xFFFFFFFFu) continue;
            run.program->interaction.paintColor = 0x00102030u + static_cast<ColorRef>(k) * 0x00050709u;
            run.Mouse(MessageKind::MouseMove, 0, x, y);
            run.Mouse(MessageKind::LeftButtonDown, kMouseLeft, x, y);
            run.Send(TimerMessage());
            painted += ColorRefFromPixel(run.Shown(dx, dy)) == run.program->interaction.paintColor;
        }
        EXPECT_GE(painted, 8) << ratio;
    }
}

TEST(PixelRatio, ARatioChangeRecreatesTheBackBufferAtOnceButWaitsForAnErrorBox) {
    RatioRun run(1, 200, 150);
    Program& program = *run.program;
    run.Send(CommandMessage(kCommandBox));
    run.host.pixelRatio = 2;
    run.Send(DpiChangedMessage());
    EXPECT_EQ(program.shell.backBufferWidth, 1280);
    EXPECT_EQ(program.shell.framesRendered, 2);
    EXPECT_EQ(run.host.Screen(PanelId::Shine).height, 32);
    // Inside an error box the back buffer the interrupted frame draws into stays.
    program.scene.cameraTable[program.scene.currentCamera].nearClip = 0;
    run.host.whileErrorBoxOpen = [&] {
        run.host.pixelRatio = 1.5;
        run.Send(DpiChangedMessage());
        EXPECT_EQ(program.shell.backBufferWidth, 1280);
    };
    run.Send(CommandMessage(kCommandSolid));
    run.Send(TimerMessage());
    program.scene.cameraTable[program.scene.currentCamera].nearClip = 1;
    run.Send(TimerMessage());
    EXPECT_EQ(run.host.errorTexts.size(), 1u);
    EXPECT_EQ(std::pair(run.host.Screen(PanelId::View).width, program.shell.backBufferWidth), std::pair(276, 960));
}

}  // namespace
}  // namespace vantrel
