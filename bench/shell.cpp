// The shell's own costs: a timer tick with nothing due, a whole frame through UpdateView
// (placement, background, render, overlay, presentation into the recording host's screen),
// and the overlay alone.
#include <memory>

#include <benchmark/benchmark.h>

#include "app/frame.h"
#include "app/message.h"
#include "app/overlay.h"
#include "app/recording_host.h"
#include "app/startup.h"
#include "app/window_procedure.h"
#include "objects/command_ids.h"

namespace vantrel {
namespace {

struct Started {
    explicit Started(std::int32_t width, std::int32_t height) {
        host.program = program.get();
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

void Overlay(benchmark::State& state) {
    Started run(320, 224);
    for (auto _ : state) DrawInformationOverlay(*run.program);
}
BENCHMARK(Overlay)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vantrel
