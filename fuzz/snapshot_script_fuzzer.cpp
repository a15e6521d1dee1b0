// Fuzzes the snapshot script reader and runs what it reads, step by step, against a fresh program
// in the real main window, Qt host and window procedure on the offscreen platform, as the
// snapshot tool does. Client sizes beyond 512 and long runs of ticks are left out, `save` writes
// nothing and `dump` prints nowhere. After every step the program's promises must hold.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include <QApplication>
#include <QCoreApplication>

#include "app/startup.h"
#include "canvas/gdi_objects.h"
#include "soak/program_invariants.h"
#include "tools/vantrel-snapshot/snapshot_run.h"

namespace {

// Bounds on one run, kept here so the reader itself stays as it is.
constexpr std::size_t kMaxScriptBytes = 4096;
constexpr std::int64_t kMaxSide = 512;
constexpr std::int64_t kMaxTicksPerRun = 64;

void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtFatalMsg) std::fprintf(stderr, "fuzz_snapshot_script: %s\n", qPrintable(message));
}

QApplication& Application() {
    static int argc = 1;
    static char name[] = "fuzz_snapshot_script";
    static char* argv[] = {name, nullptr};
    static QApplication* application = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qInstallMessageHandler(QuietQtMessages);
        return new QApplication(argc, argv);  // never destroyed: Qt's globals go first at exit
    }();
    return *application;
}

std::FILE* Nowhere() {
    static std::FILE* sink = std::fopen("/dev/null", "w");
    return sink;
}

}  // namespace

// fontconfig keeps caches for the life of the process; nothing else is excused.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
extern "C" const char* __lsan_default_options() { return "print_suppressions=0"; }

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    Application();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > kMaxScriptBytes) return -1;
    std::string_view text(reinterpret_cast<const char*>(data), size);

    auto program = std::make_unique<vantrel::Program>();
    vantrel::MainWindow window(*program);
    vantrel::SnapshotHost host(window);
    vantrel::StartHeadless(*program, window, host);
    // Whatever the window layer keeps besides the three bitmaps stays constant from here on.
    const std::int64_t objectsBefore = vantrel::LiveObjectCount() - vantrel::RestingObjectCount(*program, 0);

    std::int64_t ticksLeft = kMaxTicksPerRun;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string line(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        vantrel::Step step;
        std::string error;
        if (!vantrel::ParseStep(line, step, error)) {
            if (error.empty()) std::abort();  // a refused line always says why
            break;                            // where the tool stops too
        }
        if (step.kind == vantrel::StepKind::Size && (step.a > kMaxSide || step.b > kMaxSide)) continue;
        if (step.kind == vantrel::StepKind::Save) continue;
        if (step.kind == vantrel::StepKind::Dump) {
            vantrel::DumpState(*program, Nowhere());
            continue;
        }
        if (step.kind == vantrel::StepKind::Tick) {
            step.a = std::min(step.a, ticksLeft);
            ticksLeft -= step.a;
        }
        if (vantrel::RunStep(step, *program, window, host, error) != 0) break;
        QCoreApplication::processEvents();
        const std::string broken = vantrel::CheckProgramInvariants(*program, objectsBefore);
        if (!broken.empty()) {
            std::fprintf(stderr, "fuzz_snapshot_script: after \"%s\": %s\n", line.c_str(), broken.c_str());
            std::abort();
        }
    }
    vantrel::StopProgram(*program);
    return 0;
}
