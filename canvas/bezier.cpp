#include "canvas/bezier.h"

#include "canvas/drawing.h"
#include "canvas/gdi_object.h"
#include "canvas/lines.h"

namespace vantrel {
namespace {

constexpr int kMaxLevel = 8;  // 2^8 = 256 pieces per cubic at most

struct Fixed {
    std::int64_t x = 0, y = 0;  // pixels x 16
};

// Truncating division: halves round up for positive sums and toward zero for negative ones.
std::int64_t Midpoint(std::int64_t a, std::int64_t b) { return (a + b + 1) / 2; }
Fixed Midpoint(const Fixed& a, const Fixed& b) { return Fixed{Midpoint(a.x, b.x), Midpoint(a.y, b.y)}; }

std::int64_t Magnitude(std::int64_t v) { return v < 0 ? -v : v; }
std::int64_t FloorDivide16(std::int64_t v) { return v >= 0 ? v / 16 : -((-v + 15) / 16); }
std::int64_t RoundFromFixed(std::int64_t v) { return FloorDivide16(v + 8); }

// Control points between the ends along the major axis (the upper end open when it runs backward).
bool ControlsBetween(std::int64_t start, std::int64_t end, std::int64_t c1, std::int64_t c2) {
    if (start <= end) {
        return start <= c1 && c1 <= end && start <= c2 && c2 <= end;
    }
    return end <= c1 && c1 < start && end <= c2 && c2 < start;
}

bool PieceIsFlat(const Fixed (&p)[4]) {
    const bool xMajor = Magnitude(p[3].y - p[0].y) <= Magnitude(p[3].x - p[0].x);
    const auto major = [xMajor](const Fixed& f) { return xMajor ? f.x : f.y; };
    const auto minor = [xMajor](const Fixed& f) { return xMajor ? f.y : f.x; };
    if (!ControlsBetween(major(p[0]), major(p[3]), major(p[1]), major(p[2]))) {
        return false;
    }
    const std::int64_t steps = FloorDivide16(major(p[3]) - major(p[0]) + 8);  // major length in pixels
    if (steps == 0) {
        return true;
    }
    // Minor offset per pixel along the chord; controls within one pixel of the chord pass.
    const std::int64_t slope = (minor(p[3]) - minor(p[0])) / steps;
    for (int k = 1; k <= 2; ++k) {
        const std::int64_t along = FloorDivide16(major(p[k]) - major(p[0]) + 8);
        if (Magnitude(minor(p[k]) - minor(p[0]) - slope * along) > 16) {
            return false;
        }
    }
    return true;
}

void Subdivide(const Fixed (&p)[4], int level, BezierPointSink& sink) {
    if (level == kMaxLevel || PieceIsFlat(p)) {
        sink.Point(Point2{static_cast<std::int32_t>(RoundFromFixed(p[3].x)),
                          static_cast<std::int32_t>(RoundFromFixed(p[3].y))});
        return;
    }
    const Fixed p01 = Midpoint(p[0], p[1]);
    const Fixed p12 = Midpoint(p[1], p[2]);
    const Fixed p23 = Midpoint(p[2], p[3]);
    const Fixed p012 = Midpoint(p01, p12);
    const Fixed p123 = Midpoint(p12, p23);
    const Fixed middle = Midpoint(p012, p123);
    const Fixed left[4] = {p[0], p01, p012, middle};
    const Fixed right[4] = {middle, p123, p23, p[3]};
    Subdivide(left, level + 1, sink);
    Subdivide(right, level + 1, sink);
}

Fixed ToFixed(const Point2& p) { return Fixed{static_cast<std::int64_t>(p.x) * 16, static_cast<std::int64_t>(p.y) * 16}; }

// Draws the polyline as it arrives: each segment includes its start and excludes its end.
class PolylineDrawer final : public BezierPointSink {
public:
    PolylineDrawer(const Surface& surface, const RasterMix& mix) : surface_(surface), mix_(mix) {}
    void Point(const Point2& point) override {
        if (started_) {
            DrawLine(surface_, mix_, last_, point);
        }
        last_ = point;
        started_ = true;
    }

private:
    const Surface& surface_;
    RasterMix mix_;
    Point2 last_;
    bool started_ = false;
};

}  // namespace

void BezierFlatten(const Point2& p0, const Point2& p1, const Point2& p2, const Point2& p3, BezierPointSink& sink) {
    const Fixed p[4] = {ToFixed(p0), ToFixed(p1), ToFixed(p2), ToFixed(p3)};
    sink.Point(p0);
    Subdivide(p, 0, sink);
}

bool PolyBezier(DcHandle dc, const Point2* points, std::uint32_t count) {
    if (dc == nullptr || points == nullptr || count < 4 || (count - 1) % 3 != 0) {
        return false;
    }
    const Surface* surface = DcSurface(dc);
    const ObjectHandle pen = dc->state.pen;
    if (surface == nullptr || ObjectDrawsNothing(pen)) {
        return true;
    }
    PolylineDrawer drawer(*surface, RasterMixFor(dc->state.rop2, PixelFromColorRef(pen->color)));
    for (std::uint32_t i = 0; i + 3 < count; i += 3) {
        BezierFlatten(points[i], points[i + 1], points[i + 2], points[i + 3], drawer);
    }
    return true;
}

}  // namespace vantrel
