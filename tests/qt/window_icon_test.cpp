// The window shows the program's own icon, carried inside the executable.
#include <memory>

#include <QIcon>
#include <QImage>

#include <gtest/gtest.h>

#include "qt/main_window.h"
#include "qt_test_application.h"

namespace vantrel {
namespace {

TEST(WindowIcon, IsTheEmbeddedProgramIcon) {
    TestApplication();
    auto program = std::make_unique<Program>();
    MainWindow window(*program);
    const QIcon icon = window.windowIcon();
    ASSERT_FALSE(icon.isNull());
    const QImage image = icon.pixmap(QSize(256, 256)).toImage();
    ASSERT_EQ(image.size(), QSize(256, 256));
    // Rounded corners stay clear; the middle is the opaque picture.
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(image.pixel(128, 128)), 255);
}

}  // namespace
}  // namespace vantrel
