#pragma once
// Runs script steps against the real main window, host and window procedure.
#include <cstdio>
#include <string>

#include "app/program.h"
#include "qt/main_window.h"
#include "qt/qt_host.h"
#include "tools/vantrel-snapshot/script.h"

namespace vantrel {

// The Qt host with two changes: error reports go to standard error instead of a box, and a
// script can fix the time of day every re-seed reads.
class SnapshotHost : public QtHost {
public:
    explicit SnapshotHost(MainWindow& window) : QtHost(window) {}
    void ShowErrorBox(const char* caption, const char* text) override;
    double SecondsSinceMidnight() override;
    void FixTimeOfDay(std::int64_t milliseconds) {
        fixed_ = true;
        milliseconds_ = milliseconds;
    }

private:
    bool fixed_ = false;
    std::int64_t milliseconds_ = 0;
};

// Shows the window and starts the program in it, as the real program does but without the
// single-instance guard.
void StartHeadless(Program& program, MainWindow& window, SnapshotHost& host);
// Stops the program and starts it anew in the same window, as if the process had just begun:
// the program's state, the menu's check marks, the window's size and the keys it thinks held.
// The host should be a fresh one. The view's back buffer is kept, at its size, for the frames
// to come.
void RestartHeadless(Program& program, MainWindow& window, SnapshotHost& host);

// Writes the state a dump step prints, one record a line.
void DumpState(const Program& program, std::FILE* out);

// 0 when the step ran; otherwise error says why, and the result is 2 for a step the script
// should not contain (a menu id that names no item) or 1 for one that failed (a file not written).
int RunStep(const Step& step, Program& program, MainWindow& window, SnapshotHost& host, std::string& error);

}  // namespace vantrel
