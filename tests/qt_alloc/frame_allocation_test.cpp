// What a frame allocates once the program is running: nothing, with the overlay in the real
// Qt font and the picture shown through the panel's painter.
#include <map>
#include <memory>

#include <QImage>
#include <QPainter>
#include <QString>

#include <gtest/gtest.h>

#include "app/command_ids.h"
#include "app/recording_host.h"
#include "app/startup.h"
#include "app/window_procedure.h"
#include "objects/command_ids.h"
#include "canvas/canvas.h"
#include "qt/panel_canvas.h"
#include "qt/qt_font_engine.h"
#include "qt/qt_test_application.h"
#include "qt_alloc/counting_allocator.h"

namespace vantrel {
namespace {

constexpr int kClientWidth = 336;
constexpr int kClientHeight = 256;

// Shows the view panel as the panel widget does, through one painter kept open on an image
// that stands in for the window: the widget system's own repaint bookkeeping is Qt's.
class PainterHost : public RecordingHost {
public:
    explicit PainterHost(double ratio)
        : screen(ToDevice(kClientWidth, ratio), ToDevice(kClientHeight, ratio), QImage::Format_RGB32) {
        pixelRatio = ratio;
        screen.setDevicePixelRatio(ratio);
        painter.begin(&screen);
    }

    void RepaintPanelNow(PanelId panel) override {
        if (panel != PanelId::View || program == nullptr) return;
        const PanelRect rect = PanelClientRect(panel);
        QtPanelCanvas canvas(painter, QRect(0, 0, RectWidth(rect), RectHeight(rect)), shown);
        WindowProcedure(*program, DrawItemMessage(panel, rect, canvas));
    }

    QImage screen;
    QPainter painter;
    SurfaceImage shown;
};

struct RunningProgram {
    explicit RunningProgram(double ratio) : host(ratio) {
        fonts.SetPixelRatio(ratio);
        program->fontEngine = &fonts;
        host.program = program.get();
        StartProgram(*program, host);
        WindowProcedure(*program, SizeMessage(kSizeRestored, kClientWidth, kClientHeight));
    }
    ~RunningProgram() {
        host.painter.end();
        StopProgram(*program);
    }
    void Send(const Message& message) { WindowProcedure(*program, message); }

    QApplication& application = TestApplication();  // before the font engine and the painter
    std::unique_ptr<Program> program = std::make_unique<Program>();
    QtFontEngine fonts;
    PainterHost host;
};

TEST(SteadyFrames, AllocateNothingWithTheQtFontAndPresent) {
    if (!AllocationCountingAvailable()) GTEST_SKIP() << "the sanitizers own the allocator";
    for (const double ratio : {1.0, 2.0}) {
        RunningProgram run(ratio);
        run.Send(CommandMessage(kCommandTorus));
        run.Send(TimerMessage());
        // Every character the overlay's numbers can show, drawn once.
        TextOut(run.program->target.dc, 0, 0, " -0123456789", 12);

        // The counter sees Qt's allocations, so a zero below means nothing was allocated.
        StartCountingAllocations();
        const QString probe = QString::number(123456789);
        const QImage wrapper = ImageOfSurface(*DcSurface(run.program->target.dc));
        EXPECT_GE(StopCountingAllocations(), 2);

        const auto framesBefore = run.program->shell.framesRendered;
        // Each step in another drawing mode: the filled ones create and delete a brush per face.
        for (int step = 1; step <= 6; ++step) {
            run.Send(CommandMessage(kCommandWireframe + step - 1));
            StartCountingAllocations();
            // A left drag over the view and the tick that draws it.
            run.Send(MouseMessage(MessageKind::MouseMove, kMouseLeft, 100 + 7 * step, 80 + 3 * step));
            run.Send(TimerMessage());
            EXPECT_EQ(StopCountingAllocations(), 0) << "step " << step << " at ratio " << ratio;
        }
        EXPECT_EQ(run.program->shell.framesRendered, framesBefore + 6);
        EXPECT_EQ(run.program->scene.cameraTable[1].renderMode, 5);

        // The frames did reach the screen: the overlay's antialiased white text in the top-left
        // corner, where the background has no red.
        int bright = 0;
        for (int y = 0; y < 20; ++y) {
            for (int x = 0; x < 80; ++x) bright += qRed(run.host.screen.pixel(x, y)) >= 128;
        }
        EXPECT_GT(bright, 20);
    }
}

// A window moving between two screens, or a restart back at ratio 1, measures and draws its
// text from the glyphs it kept; the fifth new ratio takes the least recent one's place.
TEST(SteadyFrames, RatiosSeenBeforeRenderNoGlyphsAnew) {
    if (!AllocationCountingAvailable()) GTEST_SKIP() << "the sanitizers own the allocator";
    TestApplication();
    QtFontEngine fonts;
    TextSize size;
    const auto measureAt = [&](double ratio) {
        fonts.SetPixelRatio(ratio);
        StartCountingAllocations();
        fonts.Measure("Longitude: -17", 14, size);
        return StopCountingAllocations();
    };
    std::map<double, std::int32_t> widths;
    for (const double ratio : {1.0, 2.0, 1.25, 1.5}) {
        EXPECT_GT(measureAt(ratio), 0) << ratio;
        widths[ratio] = size.width;
    }
    for (const double ratio : {1.0, 2.0, 1.0, 1.5, 1.25}) {
        EXPECT_EQ(measureAt(ratio), 0) << ratio;
        EXPECT_EQ(size.width, widths[ratio]) << ratio;
    }
    EXPECT_GT(measureAt(3.0), 0);
    EXPECT_GT(measureAt(2.0), 0);  // the least recent when 3 came
}

}  // namespace
}  // namespace vantrel
