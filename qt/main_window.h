#pragma once
// The main window: a client area below the menu bar holding the three panels. Handlers turn Qt
// events into the program's messages and hand them to the window procedure; the panels only
// show what the procedure paints.
#include <QByteArray>
#include <QHash>
#include <QMainWindow>
#include <QTimer>
#include <QWidget>

#include "app/message.h"
#include "app/program.h"
#include "qt/panel_canvas.h"
#include "qt/qt_font_engine.h"

class QAction;

namespace vantrel {

// A panel's picture is shown by its paint event through the draw-item message.
class PanelWidget : public QWidget {
public:
    PanelWidget(PanelId id, QWidget* parent, Program& program);
    PanelId id() const { return id_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    PanelId id_;
    Program& program_;
    SurfaceImage shown_;  // the surface last shown, wrapped once
};

// The main window's client area: size, keyboard and mouse arrive here.
class ClientArea : public QWidget {
public:
    ClientArea(QWidget* parent, Program& program);
    // Shift as the window procedure last saw it, so a release it missed can be sent later.
    bool shiftDown() const { return shiftDown_; }
    void SendShiftUpIfReleased();
    // A Shift press or release, whichever widget of the window had the keyboard.
    void ShiftKey(bool down, bool autoRepeat);
    // Tells the view where the pointer is now, as a plain move: after a menu or another window
    // had the pointer, the next drag starts from here instead of from the last move it saw.
    void RefreshPointer();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void SendMouse(MessageKind kind, QMouseEvent* event);
    Program& program_;
    bool shiftDown_ = false;
};

class MainWindow : public QMainWindow {
public:
    // Also gives the program its font engine, before the back buffer is created.
    explicit MainWindow(Program& program);

    ClientArea* clientArea() const { return client_; }
    PanelWidget* panel(PanelId id) const;
    // The menu item with that command id, or nullptr.
    QAction* menuAction(std::int32_t id) const { return actions_.value(id, nullptr); }
    // Check marks as the window procedure set them; the menu only shows them.
    bool ItemChecked(std::int32_t id) const { return checked_.value(id, false); }
    void CheckItem(std::int32_t id, bool checked);
    QTimer& frameTimer() { return timer_; }

    // Places the window at its start-up size, centred on the screen.
    void PlaceAtStart();
    // From start to stop the frame timer runs whenever the program has work for it.
    void StartFrameTimer();
    void StopFrameTimer();
    void WantTicks(bool wanted);
    // What each timeout of the frame timer does.
    void FrameTick();
    // What a second copy asks for: undo minimising (keeping maximised), then bring to the front,
    // with the activation token the second copy was started with, if any.
    void RestoreAndRaise(const QByteArray& activationToken = QByteArray());
    // The command as if its menu item (or accelerator) was chosen.
    void RunMenuCommand(std::int32_t id);

    // Device pixels per logical pixel of the window's screen, or the ratio set in its place.
    double PixelRatio() const;
    // Behaves from now on as on a screen of that ratio (0: the real screen's again).
    void OverridePixelRatio(double ratio);
    // Tells the program when the ratio it draws at is no longer the window's.
    void FollowPixelRatio();
    // The same once the current paint is done, if a panel paints at a ratio the program does not
    // draw at: the way a screen's own scale change shows, which no event announces before Qt 6.6.
    void FollowPixelRatioSoon();
    // The overlay's text at that ratio.
    void ScalePanelText(double ratio) { fonts_.SetPixelRatio(ratio); }

protected:
    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildMenuBar();
    // Shows every check mark as recorded, undoing what Qt changed on its own when an item was chosen.
    void ShowCheckMarks();

    Program& program_;
    QtFontEngine fonts_;  // the overlay's text: the UI font stands in for the stock variable-pitch font
    ClientArea* client_ = nullptr;
    PanelWidget* panels_[kPanelCount + 1] = {};
    QHash<std::int32_t, QAction*> actions_;
    QHash<std::int32_t, bool> checked_;  // by id, for the items that can carry a check mark
    QTimer timer_;
    bool timerStarted_ = false;  // between StartFrameTimer and StopFrameTimer
    bool ratioFollowQueued_ = false;
    double ratioOverride_ = 0;
};

}  // namespace vantrel
