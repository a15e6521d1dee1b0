#include "tests/win32/cross_host_session.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QMouseEvent>
#include <cstdlib>
#include <memory>

#include "app/startup.h"
#include "qt/main_window.h"
#include "qt/qt_host.h"
#include "qt_test_application.h"

// The Qt layer's half of the cross-layer comparison: the session through Qt's events, the view
// as its panel shows it. VANTREL_UPDATE_GOLDEN=1 writes the image the Windows layer's test reads.
namespace vantrel {
namespace {

class FixedClockHost : public QtHost {
public:
    using QtHost::QtHost;
    double SecondsSinceMidnight() override { return cross_host::FixedClock(); }
};

TEST(CrossHostQt, SessionEndsWithTheViewTheWindowsLayerMustShow) {
    TestApplication();

    auto program = std::make_unique<Program>();
    program->random.clock = &cross_host::FixedClock;
    MainWindow window(*program);
    FixedClockHost host(window);
    ConnectHost(*program, host);
    window.OverridePixelRatio(1);
    window.show();
    StartProgram(*program, host);
    const QSize client = window.clientArea()->size();
    window.resize(window.width() + cross_host::kClientWidth - client.width(),
                  window.height() + cross_host::kClientHeight - client.height());
    QCoreApplication::processEvents();
    ASSERT_EQ(window.clientArea()->size(), QSize(cross_host::kClientWidth, cross_host::kClientHeight));
    const auto mouse = [&](QEvent::Type type, const cross_host::SessionStep& step, Qt::MouseButtons buttons) {
        const QPoint at(step.a, step.b);
        QMouseEvent event(type, at, window.clientArea()->mapToGlobal(at),
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(window.clientArea(), &event);
    };
    for (const cross_host::SessionStep& step : cross_host::kSession) {
        switch (step.step) {
            case cross_host::Step::Command: window.RunMenuCommand(step.a); break;
            case cross_host::Step::Move: mouse(QEvent::MouseMove, step, Qt::NoButton); break;
            case cross_host::Step::LeftDrag: mouse(QEvent::MouseMove, step, Qt::LeftButton); break;
            case cross_host::Step::LeftClick:
                mouse(QEvent::MouseButtonPress, step, Qt::LeftButton);
                mouse(QEvent::MouseButtonRelease, step, Qt::NoButton);
                break;
            case cross_host::Step::Tick: window.FrameTick(); break;
        }
    }
    const QImage image = window.panel(PanelId::View)->grab().toImage().convertToFormat(QImage::Format_RGB32);
    cross_host::Picture shown;
    shown.width = image.width();
    shown.height = image.height();
    QtFontEngine fonts;
    cross_host::OverlayBox(*program, fonts, shown.boxWidth, shown.boxHeight);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) shown.pixels.push_back(image.pixel(x, y) & 0xFFFFFF);
    }
    StopProgram(*program);
    ASSERT_EQ(shown.width, 320);

    const char* update = std::getenv("VANTREL_UPDATE_GOLDEN");
    if (update != nullptr && std::string(update) == "1") {
        ASSERT_TRUE(cross_host::WritePicture(cross_host::GoldenPath(), shown));
        return;
    }
    cross_host::Picture golden;
    ASSERT_TRUE(cross_host::ReadPicture(cross_host::GoldenPath(), golden)) << cross_host::GoldenPath();
    std::string first;
    EXPECT_EQ(cross_host::DifferencesOutsideOverlay(golden, shown, first), 0) << "first at " << first;
    EXPECT_EQ(golden.boxWidth, shown.boxWidth);
}

}  // namespace
}  // namespace vantrel
