#include <memory>
#include <new>

#include "platform/canvas/drawing.h"
#include "platform/canvas/gdi_object.h"
#include "platform/canvas/lines.h"
#include "platform/canvas/polygon_spans.h"
#include "platform/canvas/raster_ops.h"

namespace vantrel {
namespace {

// Polygons up to this many corners are filled from stack memory.
constexpr std::int32_t kSmallPolygon = 32;

// Edge stepping without a data-dependent branch: the borrow is 0 or -1.
inline void StepEdge(std::int64_t& x, std::int64_t& remainder, const PolygonEdge& edge) {
    remainder -= edge.stepRemainder;
    const std::int64_t borrow = remainder >> 63;
    remainder += edge.dy & borrow;
    x += edge.stepX - borrow;
}

// The spans of TriangleForEachSpan for a plain copy, written straight into the rows.
void FillTriangleCopy(const Surface& surface, std::uint32_t pixel, const Point2* corners) {
    const std::int32_t width = surface.width;
    if (width <= 0 || surface.height <= 0) {
        return;
    }
    const Point2* top = &corners[0];
    const Point2* middle = &corners[1];
    const Point2* bottom = &corners[2];
    if (middle->y < top->y) std::swap(top, middle);
    if (bottom->y < middle->y) std::swap(middle, bottom);
    if (middle->y < top->y) std::swap(top, middle);
    PolygonEdge tall;
    if (!PolygonEdgeSetUp(*top, *bottom, surface.height, tall)) {
        return;
    }
    PolygonEdge halves[2];
    const bool present[2] = {PolygonEdgeSetUp(*top, *middle, surface.height, halves[0]),
                             PolygonEdgeSetUp(*middle, *bottom, surface.height, halves[1])};
    std::int64_t tallX = tall.x;
    std::int64_t tallRemainder = tall.remainder;
    for (int half = 0; half < 2; ++half) {
        if (!present[half]) {
            continue;
        }
        const PolygonEdge& edge = halves[half];
        std::int64_t edgeX = edge.x;
        std::int64_t edgeRemainder = edge.remainder;
        for (std::int32_t y = edge.firstRow; y < edge.endRow; ++y) {
            std::uint32_t* const row = SurfaceRow(surface, y);
            const std::int64_t x0 = std::max<std::int64_t>(std::min(tallX, edgeX), 0);
            const std::int64_t x1 = std::min<std::int64_t>(std::max(tallX, edgeX), width);
            if (x0 < x1) {
                FillPixels(row + x0, x1 - x0, pixel);
            }
            StepEdge(tallX, tallRemainder, tall);
            StepEdge(edgeX, edgeRemainder, edge);
        }
    }
}

void FillPolygon(const Surface& surface, const RasterMix& mix, const Point2* points, std::int32_t count) {
    if (count == 3 && RasterMixIsCopy(mix)) {
        FillTriangleCopy(surface, mix.xorMask | 0xFF000000u, points);
        return;
    }
    const auto span = [&surface, &mix](std::int32_t y, std::int32_t x0, std::int32_t x1) {
        RasterMixSpan(mix, SurfaceRow(surface, y), x0, x1);
    };
    if (count == 3) {
        TriangleForEachSpan(points, surface.width, surface.height, span);
        return;
    }
    if (count <= kSmallPolygon) {
        PolygonEdge edges[kSmallPolygon];
        std::int32_t active[kSmallPolygon];
        std::int64_t crossings[kSmallPolygon];
        PolygonForEachSpan(points, count, surface.width, surface.height, PolygonScratch{edges, active, crossings},
                           span);
        return;
    }
    const std::size_t n = static_cast<std::size_t>(count);
    std::unique_ptr<PolygonEdge[]> edges(new (std::nothrow) PolygonEdge[n]);
    std::unique_ptr<std::int32_t[]> active(new (std::nothrow) std::int32_t[n]);
    std::unique_ptr<std::int64_t[]> crossings(new (std::nothrow) std::int64_t[n]);
    if (!edges || !active || !crossings) {
        return;
    }
    PolygonForEachSpan(points, count, surface.width, surface.height,
                       PolygonScratch{edges.get(), active.get(), crossings.get()}, span);
}

}  // namespace

bool Polygon(DcHandle dc, const Point2* points, std::int32_t count) {
    if (dc == nullptr || points == nullptr || count < 2) {
        return false;
    }
    const Surface* surface = DcSurface(dc);
    if (surface == nullptr) {
        return true;
    }
    const ObjectHandle brush = dc->state.brush;
    if (!ObjectDrawsNothing(brush)) {
        FillPolygon(*surface, RasterMixFor(dc->state.rop2, PixelFromColorRef(brush->color)), points, count);
    }
    // The outline goes on top of the fill: each edge includes its start pixel, excludes its end.
    const ObjectHandle pen = dc->state.pen;
    if (!ObjectDrawsNothing(pen)) {
        const RasterMix mix = RasterMixFor(dc->state.rop2, PixelFromColorRef(pen->color));
        for (std::int32_t i = 0; i < count; ++i) {
            DrawLine(*surface, mix, points[i], points[i + 1 == count ? 0 : i + 1]);
        }
    }
    return true;
}

}  // namespace vantrel
