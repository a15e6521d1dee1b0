#include "qt/main_window.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QCursor>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QtMath>

#include "app/menu_layout.h"
#include "app/window_procedure.h"
#include "qt/window_keys.h"

// The icon is compiled into this static library, whose resource object nothing else refers to,
// so it is registered by hand, once, at global scope as the macro requires.
static void RegisterIconResource() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(vantrel);
        return true;
    }();
    (void)registered;
}

namespace vantrel {
namespace {

constexpr int kStartClientWidth = 320;   // the client size asked for, without the menu bar
constexpr int kStartClientHeight = 240;
constexpr int kFrameIntervalMs = 10;     // the platform's shortest timer interval

std::int32_t MouseKeyFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
    std::int32_t flags = 0;
    if (buttons & Qt::LeftButton) flags |= kMouseLeft;
    if (buttons & Qt::RightButton) flags |= kMouseRight;
    if (modifiers & Qt::ShiftModifier) flags |= kMouseShift;
    if (modifiers & Qt::ControlModifier) flags |= kMouseControl;
    return flags;
}

// A panel as a screen reader sees it: a picture, a colour chooser or a slider. Its name and the
// picture's description (the overlay's text) are the widget's own.
QAccessibleInterface* AccessiblePanel(const QString&, QObject* object) {
    auto* panel = dynamic_cast<PanelWidget*>(object);
    if (!panel) return nullptr;
    const QAccessible::Role role = panel->id() == PanelId::View      ? QAccessible::Graphic
                                   : panel->id() == PanelId::Palette ? QAccessible::ColorChooser
                                                                     : QAccessible::Slider;
    return new QAccessibleWidget(panel, role);
}

// Qt's own shortcut map would run a menu item's shortcut while its menu is open; the open menu
// keeps its keys, and everywhere else the accelerator table (WindowKeys) has them first.
class InertShortcuts : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject*, QEvent* event) override { return event->type() == QEvent::Shortcut; }
};

}  // namespace

PanelWidget::PanelWidget(PanelId id, QWidget* parent, Program& program) : QWidget(parent), id_(id), program_(program) {
    // Mouse input belongs to the main window, which routes it by the panels' rectangles.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_OpaquePaintEvent);
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(AccessiblePanel);
        return true;
    }();
    (void)factoryInstalled;
    setAccessibleName(id == PanelId::View ? QStringLiteral("Picture")
                      : id == PanelId::Palette ? QStringLiteral("Color spectrum")
                                                 : QStringLiteral("Shine"));
}

void PanelWidget::paintEvent(QPaintEvent*) {
    if (auto* main = dynamic_cast<MainWindow*>(window())) main->FollowPixelRatioSoon();
    QPainter painter(this);
    QtPanelCanvas canvas(painter, rect(), shown_);
    WindowProcedure(program_, DrawItemMessage(id_, PanelRect{0, 0, width(), height()}, canvas));
}

ClientArea::ClientArea(QWidget* parent, Program& program) : QWidget(parent), program_(program) {
    setMouseTracking(true);  // moves without a button hover the view
    setFocusPolicy(Qt::StrongFocus);
}

void ClientArea::resizeEvent(QResizeEvent*) {
    const Qt::WindowStates state = window()->windowState();
    const std::int32_t type = state & Qt::WindowMinimized ? kSizeMinimized
                              : state & Qt::WindowMaximized ? kSizeMaximized
                                                            : kSizeRestored;
    WindowProcedure(program_, SizeMessage(type, width(), height()));
}

bool ClientArea::event(QEvent* event) {
    if (event->type() == QEvent::Enter) RefreshPointer();
    return QWidget::event(event);
}

void ClientArea::keyPressEvent(QKeyEvent*) {
    // Accelerators and Shift were taken before the key got here.
    WindowProcedure(program_, KeyMessage(MessageKind::KeyDown, 0));
}

void ClientArea::ShiftKey(bool down, bool autoRepeat) {
    if (down) {
        shiftDown_ = true;
        WindowProcedure(program_, KeyMessage(MessageKind::KeyDown, kVirtualKeyShift));
        return;
    }
    // Auto-repeat arrives as release and press pairs; only the real release ends Shift.
    if (autoRepeat) return;
    shiftDown_ = false;
    WindowProcedure(program_, KeyMessage(MessageKind::KeyUp, kVirtualKeyShift));
}

void ClientArea::SendShiftUpIfReleased() {
    if (!shiftDown_ || (QGuiApplication::queryKeyboardModifiers() & Qt::ShiftModifier)) return;
    shiftDown_ = false;
    WindowProcedure(program_, KeyMessage(MessageKind::KeyUp, kVirtualKeyShift));
}

void ClientArea::SendMouse(MessageKind kind, QMouseEvent* event) {
    // The logical pixel the pointer is in (on a high-density screen it lies between whole ones),
    // and where it is in the device pixels the program draws.
    const QPointF position = event->position();
    const double ratio = program_.shell.pixelRatio;
    WindowProcedure(program_, MouseMessage(kind, MouseKeyFlags(event->buttons(), event->modifiers()), qFloor(position.x()),
                                           qFloor(position.y()), position.x() * ratio, position.y() * ratio));
}

void ClientArea::mouseMoveEvent(QMouseEvent* event) { SendMouse(MessageKind::MouseMove, event); }

void ClientArea::RefreshPointer() {
    const QPoint global = QCursor::pos();
    const QPoint local = mapFromGlobal(global);
    if (!rect().contains(local)) return;
    // No buttons: bringing the view up to date never drags. The cursor's position is a whole
    // logical pixel, whose centre stands for the pointer.
    QMouseEvent move(QEvent::MouseMove, QPointF(local) + QPointF(0.5, 0.5), global, Qt::NoButton, Qt::NoButton,
                     QGuiApplication::queryKeyboardModifiers());
    SendMouse(MessageKind::MouseMove, &move);
}

void ClientArea::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) SendMouse(MessageKind::LeftButtonDown, event);
    if (event->button() == Qt::RightButton) SendMouse(MessageKind::RightButtonDown, event);
}

MainWindow::MainWindow(Program& program) : program_(program) {
    program_.fontEngine = &fonts_;
    setWindowTitle(QStringLiteral("Vantrel"));
    RegisterIconResource();
    setWindowIcon(QIcon(QStringLiteral(":/vantrel/vantrel-256.png")));
    client_ = new ClientArea(this, program);
    setCentralWidget(client_);
    for (std::int32_t id = 1; id <= kPanelCount; ++id) {
        panels_[id] = new PanelWidget(static_cast<PanelId>(id), client_, program);
        panels_[id]->setGeometry(0, 0, 0, 0);  // placed by the size message
    }
    BuildMenuBar();
    new WindowKeys(*this);
    timer_.setInterval(kFrameIntervalMs);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &MainWindow::FrameTick);
}

PanelWidget* MainWindow::panel(PanelId id) const {
    const auto index = static_cast<std::int32_t>(id);
    return index >= 1 && index <= kPanelCount ? panels_[index] : nullptr;
}

void MainWindow::BuildMenuBar() {
    QMenu* popup = nullptr;
    QActionGroup* modes = nullptr;
    auto* inertShortcuts = new InertShortcuts(this);
    for (const MenuEntry& entry : MenuBarEntries()) {
        switch (entry.kind) {
            case MenuEntryKind::Popup:
                popup = menuBar()->addMenu(QString::fromLatin1(entry.text));
                // Grayed titles cannot be opened, so none of their items can be chosen.
                popup->menuAction()->setEnabled(entry.enabled);
                // The pointer may have moved while the popup had it.
                connect(popup, &QMenu::aboutToHide, client_, &ClientArea::RefreshPointer);
                break;
            case MenuEntryKind::Separator: popup->addSeparator(); break;
            case MenuEntryKind::Item: {
                // The text after "\t" is the item's shortcut, shown right-aligned and read out
                // apart from its name; the keys themselves are the accelerator table's.
                const QString text = QString::fromLatin1(entry.text);
                const qsizetype tab = text.indexOf(QLatin1Char('\t'));
                QAction* action = popup->addAction(text.left(tab));
                if (tab >= 0) {
                    action->setShortcut(QKeySequence::fromString(text.mid(tab + 1), QKeySequence::PortableText));
                    action->installEventFilter(inertShortcuts);
                }
                const std::int32_t id = entry.id;
                if (entry.check != MenuCheck::None) {
                    action->setCheckable(true);
                    checked_.insert(id, entry.checked);
                }
                if (entry.check == MenuCheck::Exclusive) {
                    if (!modes) modes = new QActionGroup(this);  // drawn as radio items
                    modes->addAction(action);
                }
                connect(action, &QAction::triggered, this, [this, id] {
                    // Qt flips checkable items itself; the program decides, through the host.
                    ShowCheckMarks();
                    RunMenuCommand(id);
                });
                actions_.insert(id, action);
                break;
            }
        }
    }
    ShowCheckMarks();
}

void MainWindow::CheckItem(std::int32_t id, bool checked) {
    QAction* action = actions_.value(id, nullptr);
    if (!action || !action->isCheckable()) return;
    checked_.insert(id, checked);
    action->setChecked(checked);
}

void MainWindow::ShowCheckMarks() {
    // Clearing marks first keeps an exclusive group from dropping the one still to be set.
    for (auto it = checked_.cbegin(); it != checked_.cend(); ++it) {
        if (!it.value()) actions_.value(it.key())->setChecked(false);
    }
    for (auto it = checked_.cbegin(); it != checked_.cend(); ++it) {
        if (it.value()) actions_.value(it.key())->setChecked(true);
    }
}

void MainWindow::StartFrameTimer() {
    timerStarted_ = true;
    timer_.start();
}

void MainWindow::StopFrameTimer() {
    timerStarted_ = false;
    timer_.stop();
}

void MainWindow::WantTicks(bool wanted) {
    if (!timerStarted_) return;
    if (!wanted) {
        timer_.stop();
    } else if (!timer_.isActive()) {
        timer_.start();  // a running timer keeps its phase: a stream of moves never puts its tick off
    }
}

void MainWindow::FrameTick() {
    FollowPixelRatio();
    WindowProcedure(program_, TimerMessage());
}

double MainWindow::PixelRatio() const { return ratioOverride_ > 0 ? ratioOverride_ : devicePixelRatioF(); }

void MainWindow::OverridePixelRatio(double ratio) {
    ratioOverride_ = ratio;
    FollowPixelRatio();
}

void MainWindow::FollowPixelRatio() {
    // Before start-up the program takes the ratio itself.
    if (program_.host == nullptr || program_.target.dc == nullptr) return;
    if (SanePixelRatio(PixelRatio()) != program_.shell.pixelRatio) WindowProcedure(program_, DpiChangedMessage());
}

void MainWindow::FollowPixelRatioSoon() {
    if (ratioFollowQueued_ || program_.host == nullptr || SanePixelRatio(PixelRatio()) == program_.shell.pixelRatio) {
        return;
    }
    ratioFollowQueued_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            ratioFollowQueued_ = false;
            FollowPixelRatio();
        },
        Qt::QueuedConnection);
}

bool MainWindow::event(QEvent* event) {
    const bool handled = QMainWindow::event(event);
    // Moved to a screen of another ratio: a new back buffer and a frame at once.
    if (event->type() == QEvent::ScreenChangeInternal) FollowPixelRatio();
#if QT_VERSION >= QT_VERSION_CHECK(6, 6, 0)
    if (event->type() == QEvent::DevicePixelRatioChange) FollowPixelRatio();
#endif
    return handled;
}

void MainWindow::RunMenuCommand(std::int32_t id) { WindowProcedure(program_, CommandMessage(id)); }

void MainWindow::PlaceAtStart() {
    resize(kStartClientWidth, kStartClientHeight);
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->geometry();
    // Never at a negative coordinate on a screen smaller than the window.
    move(area.left() + std::max(0, (area.width() - kStartClientWidth) / 2),
         area.top() + std::max(0, (area.height() - kStartClientHeight) / 2));
}

void MainWindow::RestoreAndRaise(const QByteArray& activationToken) {
    // Wayland's activation reads the token from here; compositors let only a holder take the focus.
    if (!activationToken.isEmpty()) qputenv("XDG_ACTIVATION_TOKEN", activationToken);
    // Only the minimised flag goes: a maximised window comes back maximised.
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    raise();
    activateWindow();
    qunsetenv("XDG_ACTIVATION_TOKEN");  // single use, and nothing this program starts should inherit it
}

void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        const auto* change = static_cast<QWindowStateChangeEvent*>(event);
        if (windowState() & Qt::WindowMinimized) {
            WindowProcedure(program_, SizeMessage(kSizeMinimized, 0, 0));
        } else if (change->oldState() & Qt::WindowMinimized) {
            // Qt sends no resize when the size did not change; the restore still lays out and renders.
            WindowProcedure(program_, SizeMessage(kSizeRestored, client_->width(), client_->height()));
        }
    } else if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        // A Shift released while an error box had the keyboard never reached the client area.
        client_->SendShiftUpIfReleased();
        client_->RefreshPointer();
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    QMainWindow::closeEvent(event);
    if (event->isAccepted()) WindowProcedure(program_, DestroyMessage());
}

}  // namespace vantrel
