#pragma once
// The polygon filler: turns a closed polygon into the horizontal spans it covers on a surface.
//
// Fill convention: pixel (x, y) is covered when its top-left corner (x, y) is inside under the
// alternate (even-odd) rule, a corner on a left edge counting as inside and one on a right edge
// as outside; a flat top row is filled, a flat bottom row is not. Per row y, every
// non-horizontal edge with yTop <= y < yBottom crosses at X = xTop + dx * (y - yTop) / dy; the
// crossings rounded up are paired into spans [c1, c2), [c3, c4), ...
//
// Range: any 32-bit coordinates. Crossings are exact (64-bit set-up, 128-bit only for edges
// spanning 2^31 pixels or more, then integer stepping), only rows inside the surface are
// visited and spans are cut to it, so work is proportional to the visible rows plus their
// crossings plus the filled pixels.
#include <algorithm>
#include <cstdint>

#include "geometry/point.h"

namespace vantrel {

// One edge, stepped row by row: the crossing is exactly x - remainder / dy. PolygonEdgeSetUp
// fills every field; there are no defaults, so edge arrays cost nothing to declare.
struct PolygonEdge {
    std::int64_t x;              // crossing on the current row, rounded up
    std::int64_t remainder;      // 0 <= remainder < dy
    std::int64_t stepX;          // floor(dx / dy)
    std::int64_t stepRemainder;  // dx - stepX * dy
    std::int64_t dy;
    std::int32_t firstRow;  // first visible row
    std::int32_t endRow;    // one past the last visible row
};

// PolygonEdgeSetUp for any edge, including those starting above the surface or spanning 2^31
// or more pixels.
bool PolygonEdgeSetUpWide(const Point2& a, const Point2& b, std::int32_t height, PolygonEdge& out);

// Sets up the edge a -> b for the visible rows 0 .. height - 1; false when it has none there
// (or is horizontal).
inline bool PolygonEdgeSetUp(const Point2& a, const Point2& b, std::int32_t height, PolygonEdge& out) {
    if (a.y == b.y) {
        return false;
    }
    const Point2& top = a.y < b.y ? a : b;
    const Point2& bottom = a.y < b.y ? b : a;
    const std::int64_t dy = static_cast<std::int64_t>(bottom.y) - top.y;
    const std::int64_t dx = static_cast<std::int64_t>(bottom.x) - top.x;
    constexpr std::int64_t kNarrow = INT32_MAX;
    if (dy > kNarrow || dx > kNarrow || dx < -kNarrow) {
        return PolygonEdgeSetUpWide(a, b, height, out);
    }
    const std::int32_t endRow = std::min(bottom.y, height);
    const std::int32_t firstRow = std::max(top.y, 0);
    if (firstRow >= endRow) {
        return false;
    }
    const std::int32_t dx32 = static_cast<std::int32_t>(dx);
    const std::int32_t dy32 = static_cast<std::int32_t>(dy);
    // Floor, not truncation: a negative remainder (its sign is the edge's) takes one off, without
    // a branch on a direction that comes in no predictable order.
    const std::int32_t stepX = dx32 / dy32 + ((dx32 % dy32) >> 31);
    const std::int64_t stepRemainder = dx - static_cast<std::int64_t>(stepX) * dy;  // 0 .. dy - 1
    out.x = top.x;
    out.remainder = 0;
    // An edge starting above the surface (or the band) enters at row 0, rows < dy down:
    // x grows by stepX * rows plus ceil(stepRemainder * rows / dy), each product below 2^62.
    if (top.y < 0) {
        const std::uint64_t rows = static_cast<std::uint64_t>(-static_cast<std::int64_t>(top.y));
        const std::uint64_t part = static_cast<std::uint64_t>(stepRemainder) * rows;
        const std::uint64_t whole = part / static_cast<std::uint64_t>(dy);
        const std::uint64_t left = part - whole * static_cast<std::uint64_t>(dy);
        out.x += static_cast<std::int64_t>(stepX) * static_cast<std::int64_t>(rows) + static_cast<std::int64_t>(whole) + (left != 0);
        out.remainder = left != 0 ? dy - static_cast<std::int64_t>(left) : 0;
    }
    out.stepX = stepX;
    out.stepRemainder = stepRemainder;
    out.dy = dy;
    out.firstRow = firstRow;
    out.endRow = endRow;
    return true;
}

// One row down, without a data-dependent branch: the borrow is 0 or -1.
inline void PolygonEdgeStep(PolygonEdge& edge) {
    edge.remainder -= edge.stepRemainder;
    const std::int64_t borrow = edge.remainder >> 63;
    edge.remainder += edge.dy & borrow;
    edge.x += edge.stepX - borrow;
}

// Working memory for one fill: room for count edges, and as many again for the active ones.
struct PolygonScratch {
    PolygonEdge* edges = nullptr;
    PolygonEdge* active = nullptr;
};

// Puts the active edges in order of crossing. From one row to the next only edges that cross
// change places, so insertion sort takes linear time; once many have moved (steep crossing
// edges, or a shuffled row), a full sort finishes the row in n log n.
inline void PolygonSortActive(PolygonEdge* active, std::int32_t count) {
    std::int64_t moves = 4 * static_cast<std::int64_t>(count) + 16;
    for (std::int32_t k = 1; k < count; ++k) {
        if (active[k - 1].x <= active[k].x) {
            continue;
        }
        const PolygonEdge moving = active[k];
        std::int32_t j = k;
        do {
            active[j] = active[j - 1];
            --j;
        } while (j > 0 && active[j - 1].x > moving.x);
        active[j] = moving;
        moves -= k - j;
        if (moves < 0) {
            std::sort(active, active + count, [](const PolygonEdge& a, const PolygonEdge& b) { return a.x < b.x; });
            return;
        }
    }
}

// Merges count entering edges, sorted by crossing, into the activeCount sorted active ones;
// active has room for both. Only the edges right of the first newcomer move.
inline void PolygonMergeActive(PolygonEdge* active, std::int32_t activeCount, const PolygonEdge* entering,
                               std::int32_t count) {
    std::int32_t i = activeCount - 1;
    std::int32_t to = activeCount + count - 1;
    for (std::int32_t j = count - 1; j >= 0; --to) {
        if (i >= 0 && active[i].x > entering[j].x) {
            active[to] = active[i--];
        } else {
            active[to] = entering[j--];
        }
    }
}

// Calls span(y, x0, x1) for every covered run x0 .. x1 - 1 of row y, already cut to
// 0 .. width - 1 and 0 .. height - 1, rows in increasing order.
//
// An active-edge table: the edges are sorted once by first row, and the active ones stay sorted
// by crossing from row to row, so the work is the visible rows plus the crossings plus the
// filled pixels, with a log factor only on rows where many edges cross each other.
template <typename SpanFunction>
void PolygonForEachSpan(const Point2* points, std::int32_t count, std::int32_t width, std::int32_t height,
                        const PolygonScratch& scratch, SpanFunction&& span) {
    if (points == nullptr || count < 3 || width <= 0 || height <= 0) {
        return;
    }
    PolygonEdge* edges = scratch.edges;
    std::int32_t edgeCount = 0;
    for (std::int32_t i = 0; i < count; ++i) {
        if (PolygonEdgeSetUp(points[i], points[i + 1 == count ? 0 : i + 1], height, edges[edgeCount])) {
            ++edgeCount;
        }
    }
    if (edgeCount == 0) {
        return;
    }
    // By crossing within a first row too, so each row's newcomers are one sorted run.
    std::sort(edges, edges + edgeCount, [](const PolygonEdge& a, const PolygonEdge& b) {
        return a.firstRow != b.firstRow ? a.firstRow < b.firstRow : a.x < b.x;
    });
    PolygonEdge* active = scratch.active;
    std::int32_t activeCount = 0;
    std::int32_t next = 0;
    std::int32_t y = edges[0].firstRow;
    for (;;) {
        std::int32_t entering = next;
        while (entering < edgeCount && edges[entering].firstRow == y) {
            ++entering;
        }
        PolygonMergeActive(active, activeCount, edges + next, entering - next);
        activeCount += entering - next;
        next = entering;
        // Crossings pair into spans; then each edge steps to the next row, or leaves after its last.
        std::int32_t kept = 0;
        std::int64_t left = 0;
        for (std::int32_t k = 0; k < activeCount; ++k) {
            PolygonEdge& edge = active[k];
            if ((k & 1) == 0) {
                left = edge.x;
            } else {
                const std::int64_t x0 = std::max<std::int64_t>(left, 0);
                const std::int64_t x1 = std::min<std::int64_t>(edge.x, width);
                if (x0 < x1) {
                    span(y, static_cast<std::int32_t>(x0), static_cast<std::int32_t>(x1));
                }
            }
            if (edge.endRow > y + 1) {
                PolygonEdgeStep(edge);
                if (kept != k) {
                    active[kept] = edge;
                }
                ++kept;
            }
        }
        activeCount = kept;
        PolygonSortActive(active, activeCount);
        if (activeCount != 0) {
            ++y;
        } else if (next < edgeCount) {
            y = edges[next].firstRow;
        } else {
            break;
        }
    }
}

// The rows of one short edge against the tall one.
template <typename SpanFunction>
void TriangleHalfSpans(PolygonEdge& tall, PolygonEdge& edge, std::int32_t width, SpanFunction& span) {
    for (std::int32_t y = edge.firstRow; y < edge.endRow; ++y) {
        // Which edge is left differs from triangle to triangle: masks, not a branch.
        const std::int64_t apart = tall.x - edge.x;
        const std::int64_t shift = apart & (apart >> 63);  // min(apart, 0)
        const std::int64_t x0 = std::max<std::int64_t>(edge.x + shift, 0);
        const std::int64_t x1 = std::min<std::int64_t>(tall.x - shift, width);
        if (x0 < x1) {
            span(y, static_cast<std::int32_t>(x0), static_cast<std::int32_t>(x1));
        }
        PolygonEdgeStep(tall);
        PolygonEdgeStep(edge);
    }
}

// The same spans for a triangle, without the general filler's edge list: the edge spanning all
// rows pairs with the upper short edge, then with the lower one.
template <typename SpanFunction>
void TriangleForEachSpan(const Point2* corners, std::int32_t width, std::int32_t height, SpanFunction&& span) {
    if (width <= 0 || height <= 0) {
        return;
    }
    // Corners in order of rows by masked swaps, not branches: their order is anybody's guess.
    std::int32_t index[3] = {0, 1, 2};
    const auto order = [corners, &index](int upper, int lower) {
        const std::int32_t swap = -static_cast<std::int32_t>(corners[index[lower]].y < corners[index[upper]].y);
        const std::int32_t change = (index[upper] ^ index[lower]) & swap;
        index[upper] ^= change;
        index[lower] ^= change;
    };
    order(0, 1);
    order(1, 2);
    order(0, 1);
    const Point2* top = &corners[index[0]];
    const Point2* middle = &corners[index[1]];
    const Point2* bottom = &corners[index[2]];
    PolygonEdge tall;
    if (!PolygonEdgeSetUp(*top, *bottom, height, tall)) {
        return;
    }
    PolygonEdge halves[2];
    const bool present[2] = {PolygonEdgeSetUp(*top, *middle, height, halves[0]),
                             PolygonEdgeSetUp(*middle, *bottom, height, halves[1])};
    for (int half = 0; half < 2; ++half) {
        if (present[half]) {
            TriangleHalfSpans(tall, halves[half], width, span);
        }
    }
}

}  // namespace vantrel
