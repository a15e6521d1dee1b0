// Gradient, Shaded, Solid and Transparent frames drawn farthest first, nearest first over covered rows
// (Solid: hidden faces skipped; Transparent: faces merged over the background), and in the order the
// frame's overlap picks, in one process so all meet the same machine: the tick benchmark's sphere
// (3,584 faces, orbit radius 80, filling the view) and the 6,912-face torus, alone and with
// Double-Sided, Metallic and Atmosphere, at full HD and 3840 x 2160, on 1 and 2 threads. A frame
// here is the background and RenderView, without the overlay and the copy into the window.
#include <benchmark/benchmark.h>

#include <memory>

#include "bench_scenes.h"
#include "render/draw_scene.h"
#include "render/render_frame.h"
#include "render/render_target.h"
#include "render/render_threads.h"
#include "scene/camera.h"
#include "scene/orbit_camera.h"

namespace vantrel {
namespace {

// Arguments: solid (0 sphere, 1 torus), width, height, effects (0 or 1), threads, order (0 by overlap,
// 1 farthest first, 2 nearest first), mode (Gradient 5, Shaded 2, Solid 1, Transparent 3).
void BM_GradientFrame(benchmark::State& state) {
    auto scene = std::make_unique<Scene>();
    auto work = std::make_unique<RenderWork>();
    Orbit orbit;
    BuildDefaultScene(*scene, orbit);
    if (state.range(0) == 0) {
        AddTessellatedSphere(*scene);
        orbit.radius = 80.0f;
    } else {
        AddSplitTorus(*scene);
    }
    const PanelSize panel{static_cast<std::int32_t>(state.range(1)), static_cast<std::int32_t>(state.range(2))};
    RenderTarget target;
    CreateBackBuffer(target, panel.width, panel.height);
    Camera& camera = scene->cameraTable[1];
    camera.renderMode = static_cast<std::int32_t>(state.range(6));
    camera.doubleSided = camera.metallic = camera.atmosphere = state.range(3) != 0 ? kTrue : kFalse;
    work->threads = std::make_unique<RenderThreads>(static_cast<std::int32_t>(state.range(4)));
    work->faceOrder = static_cast<FaceOrder>(state.range(5));
    for (auto _ : state) {
        OrbitCamera(*scene, 1, {}, orbit.radius, orbit.longitude, orbit.latitude);
        scene->lightTable[1].position = camera.eye;
        RenderView(*scene, *work, target, 1, panel);
        benchmark::ClobberMemory();
    }
    DestroyBackBuffer(target);
}

void GradientArguments(benchmark::internal::Benchmark* b) {
    b->ArgNames({"torus", "w", "h", "effects", "threads", "order", "mode"});
    for (std::int64_t solid : {0, 1})
        for (auto size : {std::pair<std::int64_t, std::int64_t>{1920, 1080}, {3840, 2160}})
            for (std::int64_t effects : {0, 1})
                for (std::int64_t threads : {1, 2})
                    for (std::int64_t order : {0, 1, 2})
                        for (std::int64_t mode : {kModeGradient, kModeShaded, kModeSolid, kModeTransparent})
                            b->Args({solid, size.first, size.second, effects, threads, order, mode});
    b->Unit(benchmark::kMillisecond);
}
BENCHMARK(BM_GradientFrame)->Apply(GradientArguments)->MeasureProcessCPUTime()->UseRealTime();

}  // namespace
}  // namespace vantrel
