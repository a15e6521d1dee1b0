// One rendered frame (background fill plus RenderFrame) at 1280x720 of what each of the eight
// scatter, chart and ripple commands builds, seen by the start-up camera in Shaded mode.
#include <benchmark/benchmark.h>

#include <memory>

#include "geometry/orbit.h"
#include "geometry/random.h"
#include "objects/command_ids.h"
#include "objects/object_commands.h"
#include "render/drawing_tools.h"
#include "render/render_frame.h"
#include "render/render_target.h"
#include "scene/camera.h"
#include "scene/orbit_camera.h"

namespace vantrel {
namespace {

constexpr PanelSize kPanel{1280, 720};

void BM_ObjectFrame(benchmark::State& state) {
    auto scene = std::make_unique<Scene>();
    auto work = std::make_unique<RenderWork>();
    RenderTarget target;
    Orbit orbit;
    BuildDefaultScene(*scene, orbit);
    CreateBackBuffer(target, 1920, 1080);
    Random random;
    RandomSeed(random, 43200.0);
    RunObjectCommand(*scene, random, static_cast<int>(state.range(0)));
    std::int32_t faces = 0;
    for (std::int32_t m = 1; m <= LastIndex(scene->meshRange); ++m) faces += scene->meshTable[m].faceCount;
    for (auto _ : state) {
        OrbitCamera(*scene, 1, {}, orbit.radius, orbit.longitude, orbit.latitude);
        scene->lightTable[1].position = scene->cameraTable[1].eye;
        DrawBackground(target.dc, float(kPanel.width), float(kPanel.height));
        RenderFrame(*scene, *work, target, 1, kPanel);
        benchmark::ClobberMemory();
    }
    state.counters["meshes"] = scene->meshRange.count;
    state.counters["faces"] = faces;
    DestroyBackBuffer(target);
}

BENCHMARK(BM_ObjectFrame)
    ->ArgName("command")
    ->Arg(kCommandPixel)
    ->Arg(kCommandLine)
    ->Arg(kCommandText)
    ->Arg(kCommandCurve)
    ->Arg(kCommandBarGraph)
    ->Arg(kCommandGridGraph)
    ->Arg(kCommandPieGraph)
    ->Arg(kCommandRipple)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vantrel
