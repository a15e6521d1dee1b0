#include <algorithm>
#include <memory>
#include <new>

#include "canvas/drawing.h"
#include "canvas/flat_fill.h"
#include "canvas/gdi_object.h"
#include "canvas/lines.h"
#include "canvas/polygon_spans.h"
#include "canvas/raster_ops.h"

namespace vantrel {
namespace {

// Polygons up to this many corners are filled from stack memory.
constexpr std::int32_t kSmallPolygon = 32;

// The spans of a triangle for a plain copy, written straight into the rows.
void FillTriangleCopy(const Surface& target, std::uint32_t pixel, const Point2* corners) {
    const Surface surface = target;  // a copy the pixel stores cannot alias, so it stays in registers
    TriangleForEachSpan(corners, surface.width, surface.height, [&surface, pixel](std::int32_t y, std::int32_t x0, std::int32_t x1) {
        PrefetchRowsAhead(surface, y, x0, x1);
        FillPixels(SurfaceRow(surface, y) + x0, x1 - x0, pixel);
    });
}

// False only when a large polygon cannot get its working memory.
bool FillPolygon(const Surface& surface, const RasterMix& mix, const Point2* points, std::int32_t count) {
    if (count == 3 && RasterMixIsCopy(mix)) {
        FillTriangleCopy(surface, mix.xorMask | 0xFF000000u, points);
        return true;
    }
    if (count == 3) {
        // Copies the pixel stores cannot alias, so the long spans of a triangle run in registers.
        const Surface local = surface;
        const RasterMix localMix = mix;
        TriangleForEachSpan(points, local.width, local.height, [&local, localMix](std::int32_t y, std::int32_t x0, std::int32_t x1) {
            PrefetchRowsAhead(local, y, x0, x1);
            MixPixels(SurfaceRow(local, y) + x0, x1 - x0, localMix);
        });
        return true;
    }
    const auto span = [&surface, &mix](std::int32_t y, std::int32_t x0, std::int32_t x1) {
        RasterMixSpan(mix, SurfaceRow(surface, y), x0, x1);
    };
    if (count <= kSmallPolygon) {
        PolygonEdge edges[2 * kSmallPolygon];
        PolygonForEachSpan(points, count, surface.width, surface.height, PolygonScratch{edges, edges + kSmallPolygon},
                           span);
        return true;
    }
    // Short of memory, a huge polygon is left unfilled and the caller told, rather than ending the program.
    const std::size_t n = static_cast<std::size_t>(count);
    std::unique_ptr<PolygonEdge[]> edges(new (std::nothrow) PolygonEdge[2 * n]);
    if (!edges) {
        return false;
    }
    PolygonForEachSpan(points, count, surface.width, surface.height, PolygonScratch{edges.get(), edges.get() + n},
                       span);
    return true;
}

// Walks the triangle's spans as Polygon fills them, each added to the coverage, and hands
// span(row, xa, xb, pieces, count) the pieces that were not covered before; false, the walk
// stopped, once a row had no room for another run or lay beyond the coverage's rows.
template <typename SpanFunction>
bool CoverTriangleSpans(const Point2 (&corners)[3], const Surface& surface, RowCoverage& coverage,
                        SpanFunction&& span) {
    bool fits = true;
    TriangleForEachSpan(corners, surface.width, surface.height, [&](std::int32_t row, std::int32_t xa, std::int32_t xb) {
        if (!fits) return;
        CoveredRun pieces[kCoveredRunsPerRow + 1];
        const std::int32_t count = CoverSpan(coverage, row, xa, xb, pieces);
        if (count < 0) {
            fits = false;
            return;
        }
        span(row, xa, xb, pieces, count);
    });
    return fits;
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
    bool filled = true;
    if (!ObjectDrawsNothing(brush)) {
        const ColorRef color = brush == GetStockObject(DC_BRUSH) ? dc->state.dcBrushColor : brush->color;
        filled = FillPolygon(*surface, RasterMixFor(dc->state.rop2, PixelFromColorRef(color)), points, count);
    }
    // The outline goes on top of the fill: each edge includes its start pixel, excludes its end.
    const ObjectHandle pen = dc->state.pen;
    if (!ObjectDrawsNothing(pen)) {
        const RasterMix mix = RasterMixFor(dc->state.rop2, PixelFromColorRef(pen->color));
        for (std::int32_t i = 0; i < count; ++i) {
            DrawLine(*surface, mix, points[i], points[i + 1 == count ? 0 : i + 1]);
        }
    }
    return filled;
}

bool FlatTriangleUncovered(DcHandle dc, const Point2 (&corners)[3], ColorRef color, RowCoverage& coverage) {
    const Surface* surface = DcSurface(dc);
    if (surface == nullptr) return true;
    const Surface local = *surface;
    // A triangle whose box lies within covered runs is not walked at all.
    if (TriangleBoxCovered(corners, local.width, local.height, coverage)) return true;
    const std::uint32_t pixel = RasterMixFor(R2_COPYPEN, PixelFromColorRef(color)).xorMask | 0xFF000000u;
    return CoverTriangleSpans(corners, local, coverage, [&](std::int32_t row, std::int32_t xa, std::int32_t xb,
                                                            const CoveredRun* pieces, std::int32_t count) {
        if (count == 0) return;
        PrefetchRowsAhead(local, row, xa, xb);
        std::uint32_t* const line = SurfaceRow(local, row);
        for (std::int32_t k = 0; k < count; ++k) FillPixels(line + pieces[k].x0, pieces[k].x1 - pieces[k].x0, pixel);
    });
}

bool FlatTriangleMergedOver(DcHandle dc, const Point2 (&corners)[3], ColorRef color, const std::uint32_t* under,
                            RowCoverage& coverage) {
    const Surface* surface = DcSurface(dc);
    if (surface == nullptr) return true;
    const Surface local = *surface;
    const RasterMix mix = RasterMixFor(R2_MERGEPEN, PixelFromColorRef(color));
    return CoverTriangleSpans(corners, local, coverage, [&](std::int32_t row, std::int32_t xa, std::int32_t xb,
                                                            const CoveredRun* pieces, std::int32_t count) {
        PrefetchRowsAhead(local, row, xa, xb);
        std::uint32_t* const line = SurfaceRow(local, row);
        const std::uint32_t fresh = RasterMixApply(mix, under[row]);
        std::int32_t x = xa;
        for (std::int32_t k = 0; k < count; ++k) {
            if (x < pieces[k].x0) MixPixels(line + x, pieces[k].x0 - x, mix);
            FillPixels(line + pieces[k].x0, pieces[k].x1 - pieces[k].x0, fresh);
            x = pieces[k].x1;
        }
        if (x < xb) MixPixels(line + x, xb - x, mix);
    });
}

void CoverTriangle(const Point2 (&corners)[3], std::int32_t width, std::int32_t height, RowCoverage& coverage) {
    TriangleForEachSpan(corners, width, height, [&coverage](std::int32_t row, std::int32_t xa, std::int32_t xb) {
        CoveredRun pieces[kCoveredRunsPerRow + 1];
        CoverSpan(coverage, row, xa, xb, pieces);
    });
}

}  // namespace vantrel
