// One rendered frame (background fill plus RenderFrame) of the start-up camera's view, for the
// 224-face sphere and the 6,912-face torus (the torus tessellated by face three times) in each
// drawing mode at 1280x720 and 1920x1080, next to the floor: the background fill alone.
#include <benchmark/benchmark.h>

#include <memory>

#include "geometry/orbit.h"
#include "geometry/random.h"
#include "objects/command_ids.h"
#include "objects/object_commands.h"
#include "objects/mesh_colors.h"
#include "scene/mesh_store.h"
#include "render/drawing_tools.h"
#include "render/collect_faces.h"
#include "render/draw_scene.h"
#include "canvas/drawing.h"
#include "canvas/polygon_spans.h"
#include "render/face_geometry.h"
#include "render/render_frame.h"
#include "render/shading.h"
#include "render/transform.h"
#include "render/render_target.h"
#include "scene/camera.h"
#include "scene/orbit_camera.h"
#include "bench_scenes.h"

namespace vantrel {
namespace {

enum class Solid : std::int64_t { Sphere = 0, Torus = 1 };

struct FrameBench {
    std::unique_ptr<Scene> scene = std::make_unique<Scene>();
    std::unique_ptr<RenderWork> work = std::make_unique<RenderWork>();
    RenderTarget target;
    Orbit orbit;

    FrameBench(Solid solid, std::int32_t mode) {
        BuildDefaultScene(*scene, orbit);
        CreateBackBuffer(target, 1920, 1080);
        Random random;
        RandomSeed(random, 43200.0);
        if (solid == Solid::Sphere) {
            RunObjectCommand(*scene, random, kCommandSphere);
        } else {
            RunObjectCommand(*scene, random, kCommandTorus);
            scene->currentMesh = SplitAtCentroids(*scene, scene->currentMesh, 3);
        }
        RunEditCommand(*scene, random, kCommandColorRandom);
        scene->cameraTable[1].renderMode = mode;
    }
    ~FrameBench() { DestroyBackBuffer(target); }
    FrameBench(const FrameBench&) = delete;
    FrameBench& operator=(const FrameBench&) = delete;

    // What the frame cycle does on a tick with a frame due, minus the overlay and presenting.
    void Frame(PanelSize panel) {
        OrbitCamera(*scene, 1, {}, orbit.radius, orbit.longitude, orbit.latitude);
        scene->lightTable[1].position = scene->cameraTable[1].eye;
        RenderView(*scene, *work, target, 1, panel);
    }
};

// Arguments: solid, drawing mode, panel width, panel height.
void BM_Frame(benchmark::State& state) {
    FrameBench bench(static_cast<Solid>(state.range(0)), static_cast<std::int32_t>(state.range(1)));
    const PanelSize panel{static_cast<std::int32_t>(state.range(2)), static_cast<std::int32_t>(state.range(3))};
    std::int32_t faces = 0;
    for (std::int32_t m = 1; m <= LastIndex(bench.scene->meshRange); ++m) faces += bench.scene->meshTable[m].faceCount;
    for (auto _ : state) {
        bench.Frame(panel);
        benchmark::ClobberMemory();
    }
    std::int32_t listed = 0;
    while (bench.work->drawList[listed] != 0) ++listed;
    state.counters["faces"] = faces;
    state.counters["listed"] = listed;
}

// The renderer's own share of a Shaded frame: stages 1 to 4 and the face colours, no drawing.
// Arguments: solid, panel width, panel height.
void BM_StagesWithoutDrawing(benchmark::State& state) {
    FrameBench bench(static_cast<Solid>(state.range(0)), 2);
    const PanelSize panel{static_cast<std::int32_t>(state.range(1)), static_cast<std::int32_t>(state.range(2))};
    for (auto _ : state) {
        Scene& scene = *bench.scene;
        RenderWork& work = *bench.work;
        SettingReports reports;
        OrbitCamera(scene, 1, {}, bench.orbit.radius, bench.orbit.longitude, bench.orbit.latitude);
        UpdateWorldVertices(scene, work);
        UpdateViewVertices(scene, work, 1);
        ProjectVertices(scene, work, reports, 1, panel);
        CollectVisibleFaces(scene, work, 1);
        ShadeListedFaces(scene, work, reports, 1, FaceColoring::Lit);
        benchmark::ClobberMemory();
    }
}

// The canvas's share of a Shaded torus frame: the background and the listed triangles, filled
// with one brush, no geometry, sorting or shading. No renderer on this canvas can beat it.
// Arguments: panel width, panel height.
void BM_BackgroundAndListedPolygons(benchmark::State& state) {
    FrameBench bench(Solid::Torus, 2);
    const PanelSize panel{static_cast<std::int32_t>(state.range(0)), static_cast<std::int32_t>(state.range(1))};
    bench.Frame(panel);
    SelectPen(bench.target, PS_NULL, 0);
    SelectBrush(bench.target, kBrushSolid, 0x00808080);
    for (auto _ : state) {
        DrawBackground(bench.target.dc, float(panel.width), float(panel.height));
        for (std::int32_t i = 0; bench.work->drawList[i] != 0; ++i)
            DrawFacePolygon(bench.target, *bench.scene, *bench.work, bench.work->drawList[i]);
        benchmark::ClobberMemory();
    }
    RestorePenBrush(bench.target);
    // What the fill has to write: pixels and row spans over all listed triangles, overdraw included.
    double pixels = 0, spans = 0;
    for (std::int32_t i = 0; bench.work->drawList[i] != 0; ++i) {
        std::int32_t c[3];
        FaceCorners(*bench.scene, bench.work->drawList[i], c);
        Point2 corners[3];
        for (int k = 0; k < 3; ++k)
            Point2FromPoint2F({bench.work->screenVertices[c[k]].x, bench.work->screenVertices[c[k]].y}, corners[k]);
        TriangleForEachSpan(corners, panel.width, panel.height, [&](std::int32_t, std::int32_t x0, std::int32_t x1) {
            pixels += x1 - x0;
            ++spans;
        });
    }
    state.counters["pixels"] = pixels;
    state.counters["spans"] = spans;
}

// Arguments: panel width, panel height.
void BM_BackgroundOnly(benchmark::State& state) {
    RenderTarget target;
    CreateBackBuffer(target, 1920, 1080);
    const float width = float(state.range(0)), height = float(state.range(1));
    for (auto _ : state) {
        DrawBackground(target.dc, width, height);
        benchmark::ClobberMemory();
    }
    DestroyBackBuffer(target);
}

void FrameArguments(benchmark::internal::Benchmark* b) {
    b->ArgNames({"solid", "mode", "w", "h"});
    for (std::int64_t solid : {0, 1})
        for (std::int64_t mode = 0; mode <= 5; ++mode)
            for (auto size : {std::pair<std::int64_t, std::int64_t>{1280, 720}, {1920, 1080}})
                b->Args({solid, mode, size.first, size.second});
    b->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_BackgroundOnly)->ArgNames({"w", "h"})->Args({1280, 720})->Args({1920, 1080})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Frame)->Apply(FrameArguments);
BENCHMARK(BM_StagesWithoutDrawing)
    ->ArgNames({"solid", "w", "h"})
    ->Args({0, 1280, 720})
    ->Args({1, 1280, 720})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BackgroundAndListedPolygons)
    ->ArgNames({"w", "h"})
    ->Args({1280, 720})
    ->Args({1920, 1080})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vantrel
