#include <benchmark/benchmark.h>

#include <memory>

#include "scene/mesh_store.h"
#include "support/triangle_soup.h"

namespace vantrel {
namespace {

// Welding a triangle-soup sphere of about n vertices (three per face).
void WeldSphereSoup(benchmark::State& state) {
    const std::int32_t faces = std::int32_t(state.range(0) / 3);
    auto scene = std::make_unique<Scene>();
    for (auto _ : state) {
        state.PauseTiming();
        scene->meshRange.count = 0;
        const std::int32_t mesh = MakeSphereSoup(*scene, faces);
        state.ResumeTiming();
        WeldMesh(*scene, mesh);
        benchmark::DoNotOptimize(scene->meshTable[mesh].vertexCount);
    }
    state.counters["welded_vertices"] = double(scene->meshTable[1].vertexCount);
}
BENCHMARK(WeldSphereSoup)->Arg(1000)->Arg(5000)->Arg(10000)->Unit(benchmark::kMillisecond);

// First-fit allocation with 1,000 meshes already present (one freed gap in the middle).
void AllocateAmongThousandMeshes(benchmark::State& state) {
    auto scene = std::make_unique<Scene>();
    for (int i = 0; i < 1000; ++i) AllocateMesh(*scene, 5, 5);
    DeleteMesh(*scene, 500);
    for (auto _ : state) {
        const std::int32_t mesh = AllocateMesh(*scene, 5, 5);
        benchmark::DoNotOptimize(mesh);
        DeleteMesh(*scene, mesh);
    }
}
BENCHMARK(AllocateAmongThousandMeshes)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vantrel
