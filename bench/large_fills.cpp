// Large triangles against the memory-fill floor: a surface of 1920 x 1080 or 3840 x 2160 tiled
// by triangles (each square cell of the given side cut along a diagonal), so every pixel is
// written once per frame, as gradient triangles, as flat triangles, and as one plain fill of
// the whole surface. Each reports pixels per nanosecond ("px/ns").
#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

#include "canvas/canvas.h"
#include "canvas/pixel_paths.h"
#include "canvas/polygon_spans.h"
#include "geometry/random.h"

namespace vantrel {
namespace {

struct Tiling {
    std::vector<TriVertex> vertices;
    std::vector<GradientTriangleMesh> triangles;
    double pixels = 0;
};

// Corners on a grid of cell-sized squares covering the surface, with random colours.
Tiling TileSurface(std::int32_t width, std::int32_t height, std::int32_t cell) {
    Tiling out;
    Random random;
    RandomSeed(random, 7.0);
    const std::int32_t columns = (width + cell - 1) / cell + 1, rows = (height + cell - 1) / cell + 1;
    for (std::int32_t j = 0; j < rows; ++j)
        for (std::int32_t i = 0; i < columns; ++i)
            out.vertices.push_back(TriVertexFromColorRef(i * cell, j * cell, static_cast<ColorRef>(RandomUniform(random) * 16777215.0f)));
    const auto at = [columns](std::int32_t i, std::int32_t j) { return static_cast<std::uint32_t>(j * columns + i); };
    for (std::int32_t j = 0; j + 1 < rows; ++j)
        for (std::int32_t i = 0; i + 1 < columns; ++i) {
            out.triangles.push_back({at(i, j), at(i + 1, j), at(i + 1, j + 1)});
            out.triangles.push_back({at(i, j), at(i + 1, j + 1), at(i, j + 1)});
        }
    for (const GradientTriangleMesh& t : out.triangles) {
        const Point2 corners[3] = {{out.vertices[t.vertex1].x, out.vertices[t.vertex1].y},
                                   {out.vertices[t.vertex2].x, out.vertices[t.vertex2].y},
                                   {out.vertices[t.vertex3].x, out.vertices[t.vertex3].y}};
        TriangleForEachSpan(corners, width, height, [&out](std::int32_t, std::int32_t x0, std::int32_t x1) { out.pixels += x1 - x0; });
    }
    return out;
}

struct LargeSurface {
    LargeSurface(std::int32_t width, std::int32_t height) : bitmap(CreateBitmap(width, height)) { SelectObject(dc, bitmap); }
    ~LargeSurface() {
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
    DcHandle dc = CreateCompatibleDC(nullptr);
    ObjectHandle bitmap;
};

void ReportPixels(benchmark::State& state, double pixels) {
    state.counters["px/ns"] = benchmark::Counter(pixels / 1e9, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["pixels"] = pixels;
}

// Arguments: width, height, cell side, pixel path (0 portable, 1 SSE2, 2 AVX2).
void BM_GradientTriangleTiles(benchmark::State& state) {
    const auto width = static_cast<std::int32_t>(state.range(0)), height = static_cast<std::int32_t>(state.range(1));
    const auto path = static_cast<PixelPath>(state.range(3));
    if (path > WidestPixelPath()) {
        state.SkipWithError("path not available on this processor");
        return;
    }
    const PixelPath before = LimitPixelPath(path);
    const Tiling tiling = TileSurface(width, height, static_cast<std::int32_t>(state.range(2)));
    LargeSurface surface(width, height);
    for (auto _ : state) {
        GradientFill(surface.dc, tiling.vertices.data(), static_cast<std::uint32_t>(tiling.vertices.size()),
                     tiling.triangles.data(), static_cast<std::uint32_t>(tiling.triangles.size()), GRADIENT_FILL_TRIANGLE);
        benchmark::ClobberMemory();
    }
    LimitPixelPath(before);
    ReportPixels(state, tiling.pixels);
}

// The same triangles, flat: one brush, the renderer's Shaded fill.
void BM_FlatTriangleTiles(benchmark::State& state) {
    const auto width = static_cast<std::int32_t>(state.range(0)), height = static_cast<std::int32_t>(state.range(1));
    const Tiling tiling = TileSurface(width, height, static_cast<std::int32_t>(state.range(2)));
    std::vector<Point2> corners;
    for (const GradientTriangleMesh& t : tiling.triangles)
        for (std::uint32_t v : {t.vertex1, t.vertex2, t.vertex3}) corners.push_back({tiling.vertices[v].x, tiling.vertices[v].y});
    LargeSurface surface(width, height);
    SelectObject(surface.dc, GetStockObject(NULL_PEN));
    SelectObject(surface.dc, GetStockObject(WHITE_BRUSH));
    for (auto _ : state) {
        for (std::size_t i = 0; i < corners.size(); i += 3) Polygon(surface.dc, &corners[i], 3);
        benchmark::ClobberMemory();
    }
    ReportPixels(state, tiling.pixels);
}

// The floor: every pixel of the surface set to one value in one pass.
void BM_SurfaceFillFloor(benchmark::State& state) {
    const auto width = static_cast<std::int32_t>(state.range(0)), height = static_cast<std::int32_t>(state.range(1));
    LargeSurface surface(width, height);
    const Surface& pixels = *DcSurface(surface.dc);
    std::uint32_t value = 0xFF000000u;
    for (auto _ : state) {
        std::fill_n(pixels.pixels, static_cast<std::size_t>(width) * static_cast<std::size_t>(height), value++);
        benchmark::ClobberMemory();
    }
    ReportPixels(state, static_cast<double>(width) * height);
}

void Sizes(benchmark::internal::Benchmark* b, bool withPaths) {
    b->Unit(benchmark::kMillisecond);
    for (auto size : {std::pair<std::int64_t, std::int64_t>{1920, 1080}, {3840, 2160}}) {
        if (!withPaths) {
            for (std::int64_t cell : {128, 512}) b->Args({size.first, size.second, cell});
            continue;
        }
        for (std::int64_t cell : {128, 512})
            for (std::int64_t path = 0; path <= 2; ++path) b->Args({size.first, size.second, cell, path});
    }
}

// Triangles of 100 to 1,000 pixels in area (cells of 15 and 44) and in side (100, 181: the
// largest whose doubled area fits 15 bits, 1000), on a surface within the cache (full HD) and
// on one beyond it (4K).
void SmallCells(benchmark::internal::Benchmark* b, bool withPaths) {
    b->Unit(benchmark::kMillisecond);
    for (auto size : {std::pair<std::int64_t, std::int64_t>{1920, 1080}, {3840, 2160}}) {
        for (std::int64_t cell : {15, 44, 100, 181, 1000}) {
            if (!withPaths) {
                b->Args({size.first, size.second, cell});
                continue;
            }
            for (std::int64_t path = 0; path <= 2; ++path) b->Args({size.first, size.second, cell, path});
        }
    }
}

BENCHMARK(BM_SurfaceFillFloor)->ArgNames({"w", "h"})->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GradientTriangleTiles)->ArgNames({"w", "h", "cell", "path"})->Apply([](auto* b) { Sizes(b, true); });
BENCHMARK(BM_FlatTriangleTiles)->ArgNames({"w", "h", "cell"})->Apply([](auto* b) { Sizes(b, false); });
BENCHMARK(BM_GradientTriangleTiles)->Name("BM_GradientSmallTiles")->ArgNames({"w", "h", "cell", "path"})->Apply([](auto* b) { SmallCells(b, true); });
BENCHMARK(BM_FlatTriangleTiles)->Name("BM_FlatSmallTiles")->ArgNames({"w", "h", "cell"})->Apply([](auto* b) { SmallCells(b, false); });

}  // namespace
}  // namespace vantrel
