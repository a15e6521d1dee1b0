#include "tests/win32/cross_host_session.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QMouseEvent>
#include <memory>

#include "app/startup.h"
#include "qt/main_window.h"
#include "qt/qt_host.h"
#include "qt_test_application.h"

// The Qt layer's half of the cross-layer check; VANTREL_UPDATE_GOLDEN=1 writes the picture the
// Windows layer's test compares with.
namespace vantrel {
namespace {

struct FixedClockHost : QtHost {
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
    window.resize(window.size() + QSize(cross_host::kClientWidth, cross_host::kClientHeight) - client);
    QCoreApplication::processEvents();
    const auto mouse = [&](QEvent::Type type, const cross_host::SessionStep& step, Qt::MouseButtons buttons) {
        const QPoint at(step.a, step.b);
        QMouseEvent event(type, at, window.clientArea()->mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                          buttons, Qt::NoModifier);
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
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) shown.pixels.push_back(image.pixel(x, y) & 0xFFFFFF);
    }
    QtFontEngine fonts;
    cross_host::MeasureOverlay(*program, fonts, shown);
    StopProgram(*program);
    ASSERT_EQ(shown.width, 320);
    EXPECT_EQ(cross_host::CompareWithGolden(shown), "");
}

}  // namespace
}  // namespace vantrel
