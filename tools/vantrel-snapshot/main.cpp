// vantrel-snapshot SCRIPT: runs the program headless (the same window, window procedure and
// Qt host on the offscreen platform, without the single-instance guard) step by step from the
// script. Exit code 0 when every step ran, 2 for a line it does not understand (or a menu id
// that names no item), 1 when a step could not be carried out or the script cannot be read.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>

#include <QApplication>

#include "app/startup.h"
#include "tools/printable_echo.h"
#include "tools/vantrel-snapshot/snapshot_run.h"

namespace {

// Standard error carries the script's messages and "error: <text>" reports only; the offscreen
// platform's notes about what it cannot do are not the program's.
void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtFatalMsg) std::fprintf(stderr, "vantrel-snapshot: %s\n", qPrintable(message));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: vantrel-snapshot SCRIPT   (SCRIPT '-' reads standard input)\n");
        return 1;
    }
    std::ifstream file;
    const std::string scriptName = argv[1];
    if (scriptName != "-") {
        file.open(scriptName);
        if (!file) {
            std::fprintf(stderr, "vantrel-snapshot: cannot read %s\n", vantrel::PrintableEcho(scriptName).c_str());
            return 1;
        }
    }
    std::istream& script = scriptName == "-" ? std::cin : file;

    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(QuietQtMessages);
    QApplication application(argc, argv);
    auto program = std::make_unique<vantrel::Program>();
    vantrel::MainWindow window(*program);
    vantrel::SnapshotHost host(window);
    vantrel::StartHeadless(*program, window, host);

    int exitCode = 0;
    std::string line;
    for (int number = 1; std::getline(script, line); ++number) {
        vantrel::Step step;
        std::string error;
        if (!vantrel::ParseStep(line, step, error)) {
            std::fprintf(stderr, "vantrel-snapshot: line %d: %s: %s\n", number, error.c_str(),
                         vantrel::PrintableEcho(line).c_str());
            exitCode = 2;
            break;
        }
        const int result = vantrel::RunStep(step, *program, window, host, error);
        if (result != 0) {
            std::fprintf(stderr, "vantrel-snapshot: line %d: %s: %s\n", number, error.c_str(),
                         vantrel::PrintableEcho(line).c_str());
            exitCode = result;
            break;
        }
        QCoreApplication::processEvents();
    }
    vantrel::StopProgram(*program);
    return exitCode;
}
