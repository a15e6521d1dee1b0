// Fuzzes the snapshot script reader and runs what it reads, step by step, against the program in
// the real main window, Qt host and window procedure on the offscreen platform, as the snapshot
// tool does. One window serves every input: the program is started anew in it each time, as at
// the start of a process, only keeping the memory of its view's back buffer. Client sizes beyond
// 512, ratios beyond 2 and long runs of ticks are left out, `save` writes nothing and `dump`
// prints nowhere. After every step the program's promises must hold, and no drawing object
// outlives an input.
#include <algorithm>
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
constexpr double kMaxRatio = 2.0;  // device pixels grow with its square
constexpr std::int64_t kMaxTicksPerRun = 64;
constexpr std::int32_t kScreenSide = 64;

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

namespace vantrel {
// CheckProgramInvariants, in program_check.cpp.
std::string CheckProgramAfterStep(const Program& program, std::int64_t objectsBefore, std::int32_t lastClearedSlot);
}  // namespace vantrel

// fontconfig keeps caches for the life of the process; nothing else is excused.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
extern "C" const char* __lsan_default_options() { return "print_suppressions=0"; }

namespace {

// The program sees a small screen, so its back buffer starts small and grows to the view as on
// such a screen: a fresh start for each input then costs little.
class FuzzHost : public vantrel::SnapshotHost {
public:
    using SnapshotHost::SnapshotHost;
    void ScreenSize(std::int32_t& width, std::int32_t& height) override {
        width = kScreenSide;
        height = kScreenSide;
    }
    void ShowErrorBox(const char*, const char*) override {}  // the program's notices are not the fuzzer's
};

// The one window and program every input runs in.
struct Session {
    std::unique_ptr<vantrel::Program> program = std::make_unique<vantrel::Program>();
    vantrel::MainWindow window{*program};
    std::unique_ptr<FuzzHost> host = std::make_unique<FuzzHost>(window);
    std::int64_t windowObjects = -1;  // what the window layer keeps, besides the program's bitmaps
};

Session& TheSession() {
    static Session* session = [] {
        Application();
        auto* made = new Session;  // never destroyed, like the application
        vantrel::StartHeadless(*made->program, made->window, *made->host);
        return made;
    }();
    return *session;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    TheSession();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > kMaxScriptBytes) return -1;
    std::string_view text(reinterpret_cast<const char*>(data), size);

    Session& session = TheSession();
    vantrel::Program& program = *session.program;
    vantrel::MainWindow& window = session.window;
    const std::int64_t objectsBefore = vantrel::LiveObjectCount() - vantrel::RestingObjectCount(program, 0);
    if (session.windowObjects < 0) session.windowObjects = objectsBefore;
    if (objectsBefore != session.windowObjects) {
        std::fprintf(stderr, "fuzz_snapshot_script: %lld drawing objects outlived the previous input\n",
                     static_cast<long long>(objectsBefore - session.windowObjects));
        std::abort();
    }

    // The mesh range's furthest reach in this input: after a step, records past it must still be
    // as new, and only the final check looks at the whole table.
    std::int32_t furthestMesh = vantrel::LastIndex(program.scene.meshRange);
    const auto check = [&](const std::string& after, std::int32_t lastClearedSlot) {
        const std::string broken = vantrel::CheckProgramAfterStep(program, objectsBefore, lastClearedSlot);
        if (broken.empty()) return;
        std::fprintf(stderr, "fuzz_snapshot_script: after %s: %s\n", after.c_str(), broken.c_str());
        std::abort();
    };
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
        if (step.kind == vantrel::StepKind::Scale) step.ratio = std::min(step.ratio, kMaxRatio);
        if (step.kind == vantrel::StepKind::Save) continue;
        if (step.kind == vantrel::StepKind::Dump) {
            vantrel::DumpState(program, Nowhere());
            continue;
        }
        if (step.kind == vantrel::StepKind::Tick) {
            step.a = std::min(step.a, ticksLeft);
            ticksLeft -= step.a;
        }
        if (vantrel::RunStep(step, program, window, *session.host, error) != 0) break;
        if (step.kind == vantrel::StepKind::None || step.kind == vantrel::StepKind::Seed) continue;  // nothing changed
        QCoreApplication::processEvents();
        furthestMesh = std::max(furthestMesh, vantrel::LastIndex(program.scene.meshRange));
        check('"' + line + '"', furthestMesh);
    }
    check("the last step", vantrel::kLastSlot);
    // Started anew for the next input now, so that what this one made is freed within it and
    // the fuzzer's leak check sees a balanced run.
    auto host = std::make_unique<FuzzHost>(window);  // the old one serves the old program until then
    vantrel::RestartHeadless(program, window, *host);
    session.host = std::move(host);
    // What the restart left queued (the first paint, Qt's deferred deletes) is done now, so that
    // the allocation counts the fuzzer compares balance within each input.
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}
