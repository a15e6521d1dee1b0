#pragma once
// The main window's keys, whichever of its widgets holds the keyboard: like a desktop message
// loop, the accelerator table sees every key first, so F1 to F6 and the Ctrl shortcuts work
// after a menu closed or a lone Alt gave the menu bar the keyboard; Shift always reaches light
// placement; F10 opens the menus. Open popups and other top-level windows (an error box) keep
// their keys.
#include <QObject>

namespace vantrel {

class MainWindow;

class WindowKeys : public QObject {
public:
    // Watches the whole application for keys sent to the window's widgets.
    explicit WindowKeys(MainWindow& window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OpenFirstMenu();

    MainWindow& window_;
};

}  // namespace vantrel
