// vantrel-snapshot SCRIPT: runs the program headless (the same window, window procedure and
// Qt host on the offscreen platform, without the single-instance guard) step by step from the
// script. Exit code 0 when every step ran, 2 for a line it does not understand (or a menu id
// that names no item) or one longer than 1 MiB, 1 when a step could not be carried out, the
// script cannot be read or memory ran out.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <iostream>
#include <memory>
#include <new>
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

// No step is anywhere near this long; a longer line is refused before it fills memory.
constexpr std::size_t kMaxLineBytes = std::size_t{1} << 20;

enum class LineRead { Line, TooLong, End };

// getline with a bound: the line without its newline, TooLong as soon as it passes the bound.
LineRead ReadLine(std::istream& in, std::string& line) {
    line.clear();
    std::streambuf& buffer = *in.rdbuf();
    for (int c = buffer.sbumpc(); c != std::char_traits<char>::eof(); c = buffer.sbumpc()) {
        if (c == '\n') return LineRead::Line;
        if (line.size() == kMaxLineBytes) return LineRead::TooLong;
        line.push_back(static_cast<char>(c));
    }
    return line.empty() ? LineRead::End : LineRead::Line;
}

[[noreturn]] void OutOfMemory() {
    std::fputs("vantrel-snapshot: out of memory\n", stderr);
    std::_Exit(1);
}

int Run(int argc, char** argv) {
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
    for (int number = 1;; ++number) {
        const LineRead read = ReadLine(script, line);
        if (read == LineRead::End) break;
        if (read == LineRead::TooLong) {
            std::fprintf(stderr, "vantrel-snapshot: line %d: longer than 1 MiB\n", number);
            exitCode = 2;
            break;
        }
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

}  // namespace

int main(int argc, char** argv) {
    // An allocation that fails inside Qt or the event loop may end in std::terminate rather than here.
    std::set_terminate([] {
        try {
            if (const std::exception_ptr current = std::current_exception()) std::rethrow_exception(current);
        } catch (const std::bad_alloc&) {
            OutOfMemory();
        } catch (...) {
        }
        std::abort();
    });
    try {
        return Run(argc, argv);
    } catch (const std::bad_alloc&) {
        OutOfMemory();
    }
}
