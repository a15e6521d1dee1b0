// The canvas against cairo on the same 10,000 random triangles of 5 to 40 pixels on a
// 1280 x 720 surface: flat fills without outline, and colour-interpolated triangles. The same
// triangles with outlines as the renderer's Wireframe, Solid and Outlined modes draw them, on the
// whole surface and band by band. Then large general polygons: a zigzag whose every edge crosses
// every row, and random points.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

#include "geometry/random.h"
#include "canvas/canvas.h"
#if VANTREL_BENCH_CAIRO
#include <cairo.h>
#endif

namespace vantrel {
namespace {

constexpr std::int32_t kWidth = 1280;
constexpr std::int32_t kHeight = 720;
constexpr int kTriangles = 10000;

struct BenchTriangle {
    Point2 corners[3];
    ColorRef colors[3];
};

// The same triangles for every benchmark: each fits a square of side 5 to 40 pixels.
const std::vector<BenchTriangle>& Triangles() {
    static const std::vector<BenchTriangle> triangles = [] {
        Random random;
        RandomSeed(random, 42.0);
        std::vector<BenchTriangle> out(kTriangles);
        for (BenchTriangle& t : out) {
            const float side = 5.0f + 35.0f * RandomUniform(random);
            const float left = (kWidth - side) * RandomUniform(random);
            const float top = (kHeight - side) * RandomUniform(random);
            for (int k = 0; k < 3; ++k) {
                t.corners[k] = Point2{RoundToInt(left + side * RandomUniform(random)), RoundToInt(top + side * RandomUniform(random))};
                t.colors[k] = static_cast<ColorRef>(RandomUniform(random) * 16777215.0f);
            }
        }
        return out;
    }();
    return triangles;
}

struct CanvasSurface {
    CanvasSurface() { SelectObject(dc, bitmap); }
    ~CanvasSurface() {
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
    DcHandle dc = CreateCompatibleDC(nullptr);
    ObjectHandle bitmap = CreateBitmap(kWidth, kHeight);
};

// As the renderer draws a face: a new solid brush per triangle, null pen.
void BM_CanvasFlatTriangles(benchmark::State& state) {
    CanvasSurface canvas;
    SelectObject(canvas.dc, GetStockObject(NULL_PEN));
    const auto& triangles = Triangles();
    for (auto _ : state) {
        for (const BenchTriangle& t : triangles) {
            const ObjectHandle brush = CreateSolidBrush(t.colors[0]);
            const ObjectHandle previous = SelectObject(canvas.dc, brush);
            Polygon(canvas.dc, t.corners, 3);
            SelectObject(canvas.dc, previous);
            DeleteObject(brush);
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kTriangles);
}
BENCHMARK(BM_CanvasFlatTriangles)->Unit(benchmark::kMillisecond);

void BM_CanvasGradientTriangles(benchmark::State& state) {
    CanvasSurface canvas;
    const auto& triangles = Triangles();
    const GradientTriangleMesh mesh{0, 1, 2};
    for (auto _ : state) {
        for (const BenchTriangle& t : triangles) {
            TriVertex vertices[3];
            for (int k = 0; k < 3; ++k) {
                vertices[k] = TriVertexFromColorRef(t.corners[k].x, t.corners[k].y, t.colors[k]);
            }
            GradientFill(canvas.dc, vertices, 3, &mesh, 1, GRADIENT_FILL_TRIANGLE);
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kTriangles);
}
BENCHMARK(BM_CanvasGradientTriangles)->Unit(benchmark::kMillisecond);

// Arguments: mode (0 white outlines, 1 white outlines on flat fills, 2 inverted outlines) and band
// rows (0: the whole surface at once; else a context per band, every triangle moved up to it and
// drawn clipped to its rows, as the renderer draws a large frame).
void BM_CanvasOutlinedTriangles(benchmark::State& state) {
    const std::int64_t mode = state.range(0);
    const std::int32_t bandRows = static_cast<std::int32_t>(state.range(1));
    CanvasSurface canvas;
    const Surface whole = *DcSurface(canvas.dc);
    const std::int32_t rows = bandRows == 0 ? kHeight : bandRows;
    const ObjectHandle band = CreateBitmapOver(Surface{whole.width, rows, whole.pitch, whole.pixels});
    const DcHandle dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, band);
    SelectObject(dc, GetStockObject(mode == 2 ? BLACK_PEN : WHITE_PEN));
    SelectObject(dc, GetStockObject(mode == 1 ? DC_BRUSH : NULL_BRUSH));
    SetROP2(dc, mode == 2 ? R2_NOT : R2_COPYPEN);
    // Each band's triangles, listed beforehand so that only the drawing is timed.
    std::vector<std::vector<const BenchTriangle*>> bands(static_cast<std::size_t>((kHeight + rows - 1) / rows));
    for (const BenchTriangle& t : Triangles()) {
        const auto [top, bottom] = std::minmax({t.corners[0].y, t.corners[1].y, t.corners[2].y});
        for (std::int32_t b = std::max(top, 0) / rows; b <= std::min(bottom, kHeight - 1) / rows; ++b) {
            bands[static_cast<std::size_t>(b)].push_back(&t);
        }
    }
    for (auto _ : state) {
        for (std::size_t b = 0; b < bands.size(); ++b) {
            const std::int32_t y0 = static_cast<std::int32_t>(b) * rows;
            *BitmapSurface(band) = Surface{whole.width, std::min(rows, kHeight - y0), whole.pitch,
                                           whole.pixels + static_cast<std::ptrdiff_t>(y0) * whole.pitch};
            for (const BenchTriangle* t : bands[b]) {
                const Point2 corners[3] = {{t->corners[0].x, t->corners[0].y - y0}, {t->corners[1].x, t->corners[1].y - y0},
                                           {t->corners[2].x, t->corners[2].y - y0}};
                SetDCBrushColor(dc, t->colors[0]);
                Polygon(dc, corners, 3);
            }
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kTriangles);
    DeleteDC(dc);
    DeleteObject(band);
}
BENCHMARK(BM_CanvasOutlinedTriangles)
    ->ArgNames({"mode", "band"})
    ->ArgsProduct({{0, 1, 2}, {0, 24}})
    ->Unit(benchmark::kMillisecond);

constexpr std::int32_t kPolygonSide = 1000;

// Points alternating between the top and the bottom row, right to left: every edge crosses all
// 1,000 rows, and the closing edge crosses all the others.
std::vector<Point2> ZigzagPolygon(std::int32_t count) {
    std::vector<Point2> points(static_cast<std::size_t>(count));
    for (std::int32_t i = 0; i < count; ++i) {
        points[static_cast<std::size_t>(i)] = Point2{static_cast<std::int32_t>(std::int64_t{count - 1 - i} * kPolygonSide / count),
                                                     i % 2 == 0 ? 0 : kPolygonSide - 1};
    }
    return points;
}

// Points anywhere on the surface: a third of the edges cross a row on average, in no order.
std::vector<Point2> RandomPolygon(std::int32_t count) {
    Random random;
    RandomSeed(random, 7.0);
    std::vector<Point2> points(static_cast<std::size_t>(count));
    for (Point2& p : points) {
        p = Point2{static_cast<std::int32_t>(RandomUniform(random) * (kPolygonSide - 1)),
                   static_cast<std::int32_t>(RandomUniform(random) * (kPolygonSide - 1))};
    }
    return points;
}

void FillLargePolygon(benchmark::State& state, const std::vector<Point2>& points) {
    const ObjectHandle bitmap = CreateBitmap(kPolygonSide, kPolygonSide);
    const DcHandle dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, bitmap);
    SelectObject(dc, GetStockObject(NULL_PEN));
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
    SetROP2(dc, R2_XORPEN);  // every iteration writes the same spans, so none is skipped
    for (auto _ : state) {
        Polygon(dc, points.data(), static_cast<std::int32_t>(points.size()));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(points.size()));
    DeleteDC(dc);
    DeleteObject(bitmap);
}

void BM_CanvasZigzagPolygon(benchmark::State& state) {
    FillLargePolygon(state, ZigzagPolygon(static_cast<std::int32_t>(state.range(0))));
}
BENCHMARK(BM_CanvasZigzagPolygon)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_CanvasRandomPolygon(benchmark::State& state) {
    FillLargePolygon(state, RandomPolygon(static_cast<std::int32_t>(state.range(0))));
}
BENCHMARK(BM_CanvasRandomPolygon)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

#if VANTREL_BENCH_CAIRO
double Channel(ColorRef color, int shift) { return static_cast<double>((color >> shift) & 0xFFu) / 255.0; }

struct CairoSurface {
    CairoSurface() { cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE); }
    ~CairoSurface() {
        cairo_destroy(cr);
        cairo_surface_destroy(surface);
    }
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kWidth, kHeight);
    cairo_t* cr = cairo_create(surface);
};

void TrianglePath(cairo_t* cr, const BenchTriangle& t) {
    cairo_move_to(cr, t.corners[0].x, t.corners[0].y);
    cairo_line_to(cr, t.corners[1].x, t.corners[1].y);
    cairo_line_to(cr, t.corners[2].x, t.corners[2].y);
    cairo_close_path(cr);
}

void BM_CairoFlatTriangles(benchmark::State& state) {
    CairoSurface cairo;
    const auto& triangles = Triangles();
    for (auto _ : state) {
        for (const BenchTriangle& t : triangles) {
            cairo_set_source_rgb(cairo.cr, Channel(t.colors[0], 0), Channel(t.colors[0], 8), Channel(t.colors[0], 16));
            TrianglePath(cairo.cr, t);
            cairo_fill(cairo.cr);
        }
        cairo_surface_flush(cairo.surface);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kTriangles);
}
BENCHMARK(BM_CairoFlatTriangles)->Unit(benchmark::kMillisecond);

// A mesh pattern of one patch with a corner repeated is cairo's Gouraud triangle.
void BM_CairoMeshGradientTriangles(benchmark::State& state) {
    CairoSurface cairo;
    const auto& triangles = Triangles();
    for (auto _ : state) {
        for (const BenchTriangle& t : triangles) {
            cairo_pattern_t* mesh = cairo_pattern_create_mesh();
            cairo_mesh_pattern_begin_patch(mesh);
            cairo_mesh_pattern_move_to(mesh, t.corners[0].x, t.corners[0].y);
            cairo_mesh_pattern_line_to(mesh, t.corners[1].x, t.corners[1].y);
            cairo_mesh_pattern_line_to(mesh, t.corners[2].x, t.corners[2].y);
            for (unsigned k = 0; k < 3; ++k) {
                cairo_mesh_pattern_set_corner_color_rgb(mesh, k, Channel(t.colors[k], 0), Channel(t.colors[k], 8),
                                                        Channel(t.colors[k], 16));
            }
            cairo_mesh_pattern_end_patch(mesh);
            cairo_set_source(cairo.cr, mesh);
            TrianglePath(cairo.cr, t);
            cairo_fill(cairo.cr);
            cairo_pattern_destroy(mesh);
        }
        cairo_surface_flush(cairo.surface);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kTriangles);
}
BENCHMARK(BM_CairoMeshGradientTriangles)->Unit(benchmark::kMillisecond);
#endif

}  // namespace
}  // namespace vantrel
