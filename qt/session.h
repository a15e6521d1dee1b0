#pragma once
// The program's place in the desktop session, before and around its window: is there a display to
// open one on, a launcher's start-up notice to complete for a copy that opens none, and the
// session's signals to end it.
#include <functional>
#include <memory>

#include <QString>

class QSocketNotifier;

namespace vantrel {

// Empty when the platform Qt will use (QT_QPA_PLATFORM or -platform, else X11 or Wayland) can
// reach its display; otherwise one line for the user. Runs before QApplication, which aborts there.
QString MissingDisplay(int argc, char** argv);

// A copy that ends without a window tells an X11 launcher its start is complete ("remove" for
// DESKTOP_STARTUP_ID), so the busy cursor stops at once; nothing without the variable or a display.
void CompleteStartupNotification();

// SIGTERM, SIGINT and SIGHUP become a call on the event loop, so the program ends as when its
// window is closed. Blocked from construction for the whole process (threads started later
// inherit that) and read through a signalfd: nothing runs in a signal handler.
class SessionSignals {
public:
    SessionSignals();
    ~SessionSignals();
    SessionSignals(const SessionSignals&) = delete;
    SessionSignals& operator=(const SessionSignals&) = delete;
    // Once the event loop exists: end runs at the first of the signals.
    void OnSignal(std::function<void()> end);

private:
    int fd_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
    std::function<void()> end_;
};

}  // namespace vantrel
