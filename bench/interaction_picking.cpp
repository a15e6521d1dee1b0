// Picking over a frame of 6,912 listed faces (a 48 x 72 grid seen from above at 1280x720):
// PickFace under a face and over the background, and a hover move from one face to another
// (pick plus the two outline inversions), next to the pick alone.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "geometry/orbit.h"
#include "interaction/navigation.h"
#include "interaction/picking.h"
#include "render/drawing_tools.h"
#include "render/render_frame.h"
#include "render/render_target.h"
#include "scene/camera.h"
#include "scene/mesh_store.h"

namespace vantrel {
namespace {

constexpr PanelSize kPanel{1280, 720};
constexpr std::int32_t kCellsX = 48;
constexpr std::int32_t kCellsZ = 72;

// An 80 x 60 grid in y = 0 centred on the origin, faces turned up, two per cell, written in
// place: the generator's repacking would need room for two copies of 6,912 faces.
std::int32_t AddGrid(Scene& scene) {
    const std::int32_t columns = kCellsX + 1;
    const std::int32_t mesh = AllocateMesh(scene, columns * (kCellsZ + 1), 2 * kCellsX * kCellsZ);
    if (mesh == 0) return 0;
    const Mesh& grid = scene.meshTable[mesh];
    for (std::int32_t r = 0; r <= kCellsZ; ++r)
        for (std::int32_t c = 0; c < columns; ++c)
            scene.vertexPool[grid.firstVertex + r * columns + c] = {80.0f * c / kCellsX - 40, 0, 60.0f * r / kCellsZ - 30};
    std::int32_t f = grid.firstFace;
    for (std::int32_t r = 0; r < kCellsZ; ++r)
        for (std::int32_t c = 0; c < kCellsX; ++c) {
            const std::int32_t v = grid.firstVertex + r * columns + c;
            scene.facePool[f++] = {v, v + columns, v + columns + 1, ColorRGB{200, 160, 90}, 0.5f};
            scene.facePool[f++] = {v, v + columns + 1, v + 1, ColorRGB{90, 160, 200}, 0.5f};
        }
    return mesh;
}

struct PickingFrame {
    std::unique_ptr<Scene> scene = std::make_unique<Scene>();
    std::unique_ptr<RenderWork> work = std::make_unique<RenderWork>();
    Orbit orbit;
    RenderTarget target;
    InteractionState state;
    std::int32_t listed = 0;

    PickingFrame() {
        BuildDefaultScene(*scene, orbit);
        AddGrid(*scene);
        orbit.latitude = 1.2f;  // from above, every face turned to the eye
        CreateBackBuffer(target, kPanel.width, kPanel.height);
        PlaceViewpoint(*scene, orbit, state);
        RenderFrame(*scene, *work, target, scene->currentCamera, kPanel);
        while (work->drawList[listed] != 0) ++listed;
    }
    ~PickingFrame() { DestroyBackBuffer(target); }
};

PickingFrame& Frame() {
    static PickingFrame frame;
    return frame;
}

bool Ready(benchmark::State& state) {
    if (Frame().listed == 6912) return true;
    state.SkipWithError(("the frame lists " + std::to_string(Frame().listed) + " faces, not 6,912").c_str());
    return false;
}

void PickUnderAFace(benchmark::State& state) {
    if (!Ready(state)) return;
    PickingFrame& frame = Frame();
    for (auto _ : state) benchmark::DoNotOptimize(PickFace(*frame.scene, *frame.work, 645, 365));
    state.counters["face"] = PickFace(*frame.scene, *frame.work, 645, 365);
}
BENCHMARK(PickUnderAFace)->Unit(benchmark::kMicrosecond);

void PickOverTheBackground(benchmark::State& state) {
    if (!Ready(state)) return;
    PickingFrame& frame = Frame();
    for (auto _ : state) benchmark::DoNotOptimize(PickFace(*frame.scene, *frame.work, 2, 2));
}
BENCHMARK(PickOverTheBackground)->Unit(benchmark::kMicrosecond);

// Two points over different faces: every move picks and inverts two outlines.
void HoverFromFaceToFace(benchmark::State& state) {
    if (!Ready(state)) return;
    PickingFrame& frame = Frame();
    frame.state.frameMatchesScene = kTrue;
    const std::int32_t xs[2] = {600, 680};
    int k = 0;
    for (auto _ : state) {
        const InputResponse response = HoverAt(*frame.scene, *frame.work, frame.target, frame.state, xs[k], 365);
        benchmark::DoNotOptimize(response);
        k ^= 1;
    }
}
BENCHMARK(HoverFromFaceToFace)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vantrel
