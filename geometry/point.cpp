#include "geometry/point.h"

namespace vantrel {

namespace {
std::int32_t WrappingSub(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}
}  // namespace

void Point2Sub(const Point2& a, const Point2& b, Point2& out) {
    out = {WrappingSub(a.x, b.x), WrappingSub(a.y, b.y)};
}

void Point2FromPoint2F(const Point2F& p, Point2& out) { out = {RoundToInt(p.x), RoundToInt(p.y)}; }

void Point2ToPoint2F(const Point2& p, Point2F& out) {
    out = {static_cast<float>(p.x), static_cast<float>(p.y)};
}

Truth EdgeSide(const Point2& p0, const Point2& p1, const Point2& p2) {
    Point2 d1, d2;
    Point2Sub(p1, p0, d1);
    Point2Sub(p2, p0, d2);
    const float cross = float(d1.x) * float(d2.y) - float(d1.y) * float(d2.x);
    return ToTruth(cross < 0.0f);
}

}  // namespace vantrel
