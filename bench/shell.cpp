// The shell's own costs: a timer tick with nothing due, a whole frame through UpdateView
// (placement, background, render, overlay, presentation into the recording host's screen),
// the same on a high-density screen, and the overlay alone.
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "app/frame.h"
#include "app/message.h"
#include "app/overlay.h"
#include "app/recording_host.h"
#include "app/startup.h"
#include "app/window_procedure.h"
#include "app/command_ids.h"
#include "objects/command_ids.h"

namespace vantrel {
namespace {

struct Started {
    explicit Started(std::int32_t width, std::int32_t height, double ratio = 1) {
        host.program = program.get();
        host.pixelRatio = ratio;
        host.screenWidth = width;
        host.screenHeight = height;
        StartProgram(*program, host);
        WindowProcedure(*program, SizeMessage(kSizeRestored, width, height));
    }
    ~Started() { StopProgram(*program); }
    std::unique_ptr<Program> program = std::make_unique<Program>();
    RecordingHost host;
};

void IdleTick(benchmark::State& state) {
    Started run(320, 224);
    WindowProcedure(*run.program, TimerMessage());
    for (auto _ : state) {
        WindowProcedure(*run.program, TimerMessage());
        benchmark::DoNotOptimize(run.program->scene.frameDirty);
    }
}
BENCHMARK(IdleTick);

void FrameOfCommand(benchmark::State& state, std::int32_t command, std::int32_t width, std::int32_t height) {
    Started run(width, height);
    if (command != 0) WindowProcedure(*run.program, CommandMessage(command));
    for (auto _ : state) {
        run.program->scene.frameDirty = kTrue;
        UpdateView(*run.program);
    }
}
BENCHMARK_CAPTURE(FrameOfCommand, DefaultScene320x224, 0, 320, 224)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(FrameOfCommand, Sphere320x224, kCommandSphere, 320, 224)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(FrameOfCommand, Torus1280x720, kCommandTorus, 1280, 720)->Unit(benchmark::kMicrosecond);

// A 1920 x 1080 logical client, at ratio 2 a 3808 x 2128 view of device pixels, filled by the
// 3,584-face sphere (Sphere, Tessellate By Edge twice) at radius 80, in one drawing mode.
void FrameAtRatio(benchmark::State& state, double ratio, std::int32_t mode, bool effects) {
    Started run(1920, 1080, ratio);
    Program& program = *run.program;
    for (const std::int32_t command : {kCommandSphere, kCommandTessellateByEdge, kCommandTessellateByEdge, mode}) {
        WindowProcedure(program, CommandMessage(command));
    }
    if (effects) {
        for (const std::int32_t command : {kCommandDoubleSided, kCommandMetallic, kCommandAtmosphere}) {
            WindowProcedure(program, CommandMessage(command));
        }
    }
    program.orbit.radius = 80;
    for (auto _ : state) {
        program.scene.frameDirty = kTrue;
        UpdateView(program);
    }
    state.counters["faces"] = program.scene.meshTable[program.scene.currentMesh].faceCount;
}

const bool kFramesAtRatioRegistered = [] {
    constexpr const char* kModes[] = {"Wireframe", "Solid", "Shaded", "Transparent", "Outlined", "Gradient"};
    for (const double ratio : {1.0, 2.0}) {
        for (std::int32_t mode = 0; mode <= kRenderModeCount; ++mode) {
            const bool effects = mode == kRenderModeCount;  // Gradient with all three effects
            const std::string name = std::string("FrameAtRatio/") + (ratio == 1 ? "1/" : "2/") +
                                     (effects ? "GradientWithEffects" : kModes[mode]) + "/1920x1080";
            benchmark::RegisterBenchmark(name.c_str(), FrameAtRatio, ratio,
                                         kCommandWireframe + (effects ? kRenderModeCount - 1 : mode), effects)
                ->Unit(benchmark::kMillisecond);
        }
    }
    return true;
}();

// Showing a finished frame: the view panel's device pixels copied once into the screen, beside
// a plain copy of the same number of pixels between two buffers (the floor).
void Present(benchmark::State& state, double ratio) {
    Started run(1920, 1080, ratio);
    run.program->scene.frameDirty = kTrue;
    UpdateView(*run.program);
    for (auto _ : state) PresentView(*run.program);
    const Surface& shown = run.host.Screen(PanelId::View);
    state.SetBytesProcessed(state.iterations() * shown.width * shown.height * 4);
}
BENCHMARK_CAPTURE(Present, 1, 1.0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Present, 2, 2.0)->Unit(benchmark::kMillisecond);

void CopyFloor(benchmark::State& state) {
    const std::size_t pixels = std::size_t{3808} * 2128;
    std::vector<std::uint32_t> from(pixels, 0xFF102030u), to(pixels);
    for (auto _ : state) {
        std::copy(from.begin(), from.end(), to.begin());
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(pixels) * 4);
}
BENCHMARK(CopyFloor)->Unit(benchmark::kMillisecond);

void Overlay(benchmark::State& state) {
    Started run(320, 224);
    for (auto _ : state) DrawInformationOverlay(*run.program);
}
BENCHMARK(Overlay)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vantrel
