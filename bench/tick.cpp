// A whole frame tick as the running program does it on a drag: the real main window, its Qt
// host and the window procedure on Qt's offscreen platform, a frame due, then one timer tick:
// placement, background, render, overlay, and the repaint that draws the back buffer into the
// window's image. The scene: Sphere, Tessellate By Edge twice (3,584 faces), at radius 80 so
// it fills the view, in every drawing mode, alone and with Double-Sided, Metallic and Atmosphere.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <memory>

#include <QApplication>
#include <QCoreApplication>
#include <QtGlobal>

#include "app/command_ids.h"
#include "app/startup.h"
#include "objects/command_ids.h"
#include "qt/main_window.h"
#include "qt/qt_host.h"

namespace vantrel {
namespace {

QApplication& Application() {
    if (auto* existing = qobject_cast<QApplication*>(QCoreApplication::instance())) return *existing;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // The offscreen platform says at every resize that it ignores size hints; that is expected here.
    static QtMessageHandler next = nullptr;
    next = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& text) {
        if (text.contains(QStringLiteral("propagateSizeHints"))) return;
        if (next != nullptr) next(type, context, text);
        else std::fprintf(stderr, "%s\n", qPrintable(text));
    });
    static int argc = 1;
    static char name[] = "bench_tick";
    static char* argv[] = {name, nullptr};
    static QApplication* application = new QApplication(argc, argv);
    return *application;
}

struct RunningWindow {
    RunningWindow() : window(*program), host(window) {
        ConnectHost(*program, host);
        window.PlaceAtStart();
        window.show();
        StartProgram(*program, host);
    }
    ~RunningWindow() { StopProgram(*program); }

    // Grows the window until the view panel is exactly width x height.
    bool SizeView(std::int32_t width, std::int32_t height) {
        for (int attempt = 0; attempt < 4; ++attempt) {
            const PanelRect view = host.PanelClientRect(PanelId::View);
            const int dw = width - RectWidth(view), dh = height - RectHeight(view);
            if (dw == 0 && dh == 0) return true;
            window.resize(window.width() + dw, window.height() + dh);
            QCoreApplication::processEvents();
        }
        return false;
    }

    std::unique_ptr<Program> program = std::make_unique<Program>();
    MainWindow window;
    QtHost host;
};

// Arguments: view width, view height, drawing mode (0 Wireframe .. 5 Gradient), effects (0 or 1).
void BM_Tick(benchmark::State& state) {
    Application();
    RunningWindow run;
    if (!run.SizeView(static_cast<std::int32_t>(state.range(0)), static_cast<std::int32_t>(state.range(1)))) {
        state.SkipWithError("the window could not be given that view size");
        return;
    }
    run.window.RunMenuCommand(kCommandSphere);
    run.window.RunMenuCommand(kCommandTessellateByEdge);
    run.window.RunMenuCommand(kCommandTessellateByEdge);
    run.window.RunMenuCommand(kCommandWireframe + static_cast<std::int32_t>(state.range(2)));
    if (state.range(3) != 0) {
        for (std::int32_t command : {kCommandDoubleSided, kCommandMetallic, kCommandAtmosphere}) run.window.RunMenuCommand(command);
    }
    run.program->orbit.radius = 80.0f;
    run.program->scene.frameDirty = kTrue;
    run.window.FrameTick();
    const std::int64_t before = run.program->shell.framesRendered;
    const std::int64_t offeredBefore = QtPanelCanvas::PixelsOffered();
    for (auto _ : state) {
        run.program->scene.frameDirty = kTrue;
        run.window.FrameTick();
    }
    if (run.program->shell.framesRendered - before != static_cast<std::int64_t>(state.iterations()))
        state.SkipWithError("a tick drew no frame");
    // 1 when every tick wrote the picture straight into the window's image.
    state.counters["direct"] = static_cast<double>(QtPanelCanvas::PixelsOffered() - offeredBefore) /
                                 static_cast<double>(std::max<benchmark::IterationCount>(state.iterations(), 1));
    std::int32_t faces = 0;
    for (std::int32_t m = 1; m <= LastIndex(run.program->scene.meshRange); ++m) faces += run.program->scene.meshTable[m].faceCount;
    state.counters["faces"] = faces;
}

void TickArguments(benchmark::internal::Benchmark* b) {
    b->ArgNames({"w", "h", "mode", "effects"});
    for (auto size : {std::pair<std::int64_t, std::int64_t>{1920, 1080}, {3840, 2160}})
        for (std::int64_t effects : {0, 1})
            for (std::int64_t mode = 0; mode <= 5; ++mode) b->Args({size.first, size.second, mode, effects});
    b->Unit(benchmark::kMillisecond);
}
BENCHMARK(BM_Tick)->Apply(TickArguments)->MeasureProcessCPUTime()->UseRealTime();

}  // namespace
}  // namespace vantrel
