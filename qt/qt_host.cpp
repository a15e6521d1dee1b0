#include "qt/qt_host.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>

#include "geometry/random.h"
#include "qt/main_window.h"

namespace vantrel {
namespace {

Qt::CursorShape QtCursor(CursorShape shape) {
    switch (shape) {
        case CursorShape::CrossHair: return Qt::CrossCursor;
        case CursorShape::SizeWestEast: return Qt::SizeHorCursor;
        case CursorShape::SizeNorthSouth: return Qt::SizeVerCursor;
        case CursorShape::SizeAll: return Qt::SizeAllCursor;
        default: return Qt::ArrowCursor;
    }
}

}  // namespace

bool QtHost::MenuItemChecked(std::int32_t id) { return window_.ItemChecked(id); }

void QtHost::CheckMenuItem(std::int32_t id, bool checked) { window_.CheckItem(id, checked); }

void QtHost::SetCursorShape(CursorShape shape) {
    if (shape == CursorShape::Unchanged || shape == cursor_) return;  // a move sets it every time
    cursor_ = shape;
    window_.clientArea()->setCursor(QtCursor(shape));
}

void QtHost::MovePanel(PanelId panel, const PanelRect& rect) {
    if (QWidget* widget = window_.panel(panel)) {
        widget->setGeometry(rect.left, rect.top, RectWidth(rect), RectHeight(rect));
        widget->update();
    }
}

PanelRect QtHost::PanelClientRect(PanelId panel) {
    const QWidget* widget = window_.panel(panel);
    return widget ? PanelRect{0, 0, widget->width(), widget->height()} : PanelRect{};
}

void QtHost::RepaintPanelNow(PanelId panel) {
    QWidget* widget = window_.panel(panel);
    if (widget && widget->isVisible()) widget->repaint();
}

void QtHost::ShowErrorBox(const char* caption, const char* text) {
    QMessageBox box(QMessageBox::Critical, QString::fromLatin1(caption), QString::fromLatin1(text), QMessageBox::Ok,
                    &window_);
    box.exec();
    // A Shift released while the box had the keyboard never reached the client area; the
    // window procedure acts on it once the box is gone.
    window_.clientArea()->SendShiftUpIfReleased();
}

double QtHost::SecondsSinceMidnight() { return SystemSecondsSinceMidnight(); }

void QtHost::ScreenSize(std::int32_t& width, std::int32_t& height) {
    const QScreen* screen = window_.screen() ? window_.screen() : QGuiApplication::primaryScreen();
    const QSize size = screen ? screen->size() : QSize(window_.width(), window_.height());
    // The screen's size is in logical pixels; the back buffer holds device pixels.
    const double ratio = SanePixelRatio(window_.PixelRatio());
    width = ToDevice(size.width(), ratio);
    height = ToDevice(size.height(), ratio);
}

double QtHost::AdoptPixelRatio() {
    const double ratio = SanePixelRatio(window_.PixelRatio());
    window_.ScalePanelText(ratio);
    return ratio;
}

void QtHost::PostQuit(std::int32_t exitCode) { QCoreApplication::exit(exitCode); }

void QtHost::WantTicks(bool wanted) { window_.WantTicks(wanted); }

void QtHost::DescribeView(const char* text) {
    // Qt tells screen readers of the change itself, while one listens.
    if (QWidget* view = window_.panel(PanelId::View)) view->setAccessibleDescription(QString::fromLatin1(text));
}

}  // namespace vantrel
