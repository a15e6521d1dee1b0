// Object and Edit menu commands, each timed as the window procedure runs it. The Edit commands
// are timed at their worst: tessellating the sphere and the torus until the pools are full.
#include <benchmark/benchmark.h>

#include "objects/command_ids.h"
#include "objects/object_commands.h"
#include "scene/camera.h"

namespace vantrel {
namespace {

void QuietReport(void*, const char*, const char*) {}

void StartScene(Scene& scene) {
    Orbit orbit;
    BuildDefaultScene(scene, orbit);
    scene.reporter = {QuietReport, nullptr};
}

void ObjectCommand(benchmark::State& state) {
    const int id = static_cast<int>(state.range(0));
    Scene scene;
    StartScene(scene);
    Random random;
    for (auto _ : state) {
        RandomSeed(random, 43200.125);
        benchmark::DoNotOptimize(RunObjectCommand(scene, random, id));
    }
}

// Times the pass-th run of an Edit command on a freshly built object; the earlier runs are set-up.
void RepeatedEdit(benchmark::State& state, int objectId, int editId) {
    const int pass = static_cast<int>(state.range(0));
    Scene scene;
    StartScene(scene);
    Random random;
    for (auto _ : state) {
        state.PauseTiming();
        RandomSeed(random, 43200.125);
        RunObjectCommand(scene, random, objectId);
        for (int earlier = 1; earlier < pass; ++earlier) RunEditCommand(scene, random, editId);
        state.ResumeTiming();
        benchmark::DoNotOptimize(RunEditCommand(scene, random, editId));
    }
    state.counters["faces"] = scene.meshTable[scene.currentMesh].faceCount;
}

void SphereByEdge(benchmark::State& state) { RepeatedEdit(state, kCommandSphere, kCommandTessellateByEdge); }
void TorusByEdge(benchmark::State& state) { RepeatedEdit(state, kCommandTorus, kCommandTessellateByEdge); }
void TorusByFace(benchmark::State& state) { RepeatedEdit(state, kCommandTorus, kCommandTessellateByFace); }

void ColorEdit(benchmark::State& state) { RepeatedEdit(state, kCommandSphere, static_cast<int>(state.range(1))); }

void ObjectIds(benchmark::internal::Benchmark* bench) {
    for (int id = kCommandBox; id <= kCommandTorus; ++id) bench->Arg(id);
    for (int id : {kCommandPixel, kCommandLine, kCommandText, kCommandCurve, kCommandBarGraph, kCommandGridGraph,
                   kCommandPieGraph, kCommandRipple}) {
        bench->Arg(id);
    }
}

BENCHMARK(ObjectCommand)->Apply(ObjectIds)->Unit(benchmark::kMicrosecond);
// The set-up of each iteration (earlier passes) is untimed but slow, so the iterations are fixed.
// Pass 3 on the sphere no longer fits; pass 2 on the torus splits and welds, then has no room to repack.
constexpr int kEditIterations = 200;
BENCHMARK(SphereByEdge)->DenseRange(1, 3)->Iterations(kEditIterations)->Unit(benchmark::kMicrosecond);
BENCHMARK(TorusByEdge)->DenseRange(1, 2)->Iterations(kEditIterations)->Unit(benchmark::kMicrosecond);
BENCHMARK(TorusByFace)->DenseRange(1, 3)->Iterations(kEditIterations)->Unit(benchmark::kMicrosecond);
BENCHMARK(ColorEdit)
    ->Args({1, kCommandColorWhite})
    ->Args({1, kCommandColorRandom})
    ->Args({1, kCommandColorGradient})
    ->Iterations(kEditIterations)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vantrel
