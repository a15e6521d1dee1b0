#include "qt/window_keys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenuBar>

#include "app/menu_layout.h"
#include "qt/main_window.h"

namespace vantrel {
namespace {

bool KeyToAccelerator(int key, AcceleratorKey& out) {
    if (key >= Qt::Key_F1 && key <= Qt::Key_F6) {
        out = static_cast<AcceleratorKey>(static_cast<int>(AcceleratorKey::F1) + (key - Qt::Key_F1));
        return true;
    }
    switch (key) {
        case Qt::Key_L: out = AcceleratorKey::L; return true;
        case Qt::Key_O: out = AcceleratorKey::O; return true;
        case Qt::Key_D: out = AcceleratorKey::D; return true;
        case Qt::Key_M: out = AcceleratorKey::M; return true;
        case Qt::Key_A: out = AcceleratorKey::A; return true;
        case Qt::Key_C: out = AcceleratorKey::C; return true;
        default: return false;
    }
}

std::int32_t AcceleratorCommand(const QKeyEvent& key) {
    AcceleratorKey accelerator;
    const Qt::KeyboardModifiers modifiers = key.modifiers();
    if (!KeyToAccelerator(key.key(), accelerator)) return 0;
    return TranslateAccelerator(accelerator, modifiers & Qt::ControlModifier, modifiers & Qt::ShiftModifier,
                                modifiers & Qt::AltModifier);
}

}  // namespace

WindowKeys::WindowKeys(MainWindow& window) : QObject(&window), window_(window) {
    QCoreApplication::instance()->installEventFilter(this);
}

bool WindowKeys::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::ShortcutOverride && type != QEvent::KeyPress && type != QEvent::KeyRelease) return false;
    if (!watched->isWidgetType() || static_cast<QWidget*>(watched)->window() != &window_ ||
        QApplication::activePopupWidget()) {
        return false;
    }
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Shift) {
        if (type == QEvent::ShortcutOverride) return false;
        window_.clientArea()->ShiftKey(type == QEvent::KeyPress, key->isAutoRepeat());
        return true;
    }
    if (key->key() == Qt::Key_F10 && key->modifiers() == Qt::NoModifier) {
        // F10 opens the first menu that can open, as on Windows and in most Linux desktops' programs.
        event->accept();
        if (type == QEvent::KeyPress) OpenFirstMenu();
        return true;
    }
    const std::int32_t command = AcceleratorCommand(*key);
    if (command == 0) return false;
    // Claimed before any other use of the key, Tab's focus moves and the menu bar's included.
    event->accept();
    if (type != QEvent::KeyPress) return true;
    window_.RunMenuCommand(command);
    QMenuBar* bar = window_.menuBar();
    if (bar->hasFocus()) {
        // The key went to the view: the menu bar lets go of its highlight and of the keyboard.
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(bar, &escape);
    }
    return true;
}

void WindowKeys::OpenFirstMenu() {
    QMenuBar* bar = window_.menuBar();
    for (QAction* title : bar->actions()) {
        if (title->isEnabled() && title->isVisible() && title->menu() != nullptr) {
            bar->setActiveAction(title);
            return;
        }
    }
}

}  // namespace vantrel
