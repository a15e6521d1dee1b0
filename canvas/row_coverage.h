#pragma once
// The pixels of a run of rows already drawn, for drawing opaque shapes nearest first: each row
// keeps a few sorted runs of covered pixels, and a shape drawn later fills only what lies outside
// them. Runs never touch (neighbours are merged), so a row of adjacent triangles stays one run.
#include <algorithm>
#include <cstdint>

#include "geometry/point.h"

namespace vantrel {

// Left uninitialised: a span's pieces are written before they are read.
struct CoveredRun {
    std::int32_t x0;  // first covered pixel
    std::int32_t x1;  // one past the last
};

// Rows a coverage holds, and runs per row: a row is two cache lines.
inline constexpr std::int32_t kCoverageRows = 512;
inline constexpr std::int32_t kCoveredRunsPerRow = 15;

struct alignas(64) CoveredRow {
    std::int32_t count = 0;
    CoveredRun runs[kCoveredRunsPerRow];
};

struct RowCoverage {
    std::int32_t rows = 0;                       // rows in use, from the surface's first
    std::int32_t runLimit = kCoveredRunsPerRow;  // runs a row may hold, 1 .. kCoveredRunsPerRow
    CoveredRow row[kCoverageRows];
};

// Empties rows 0 .. rows - 1 (at most kCoverageRows) for a new pass.
inline void ClearCoverage(RowCoverage& coverage, std::int32_t rows) {
    coverage.rows = rows < 0 ? 0 : rows > kCoverageRows ? kCoverageRows : rows;
    for (std::int32_t y = 0; y < coverage.rows; ++y) coverage.row[y].count = 0;
}

// True when pixels x0 .. x1 - 1 all lie in one run, which is the only way they can all be covered.
inline bool RowCovers(const CoveredRow& row, std::int32_t x0, std::int32_t x1) {
    for (std::int32_t k = 0; k < row.count; ++k) {
        if (row.runs[k].x1 < x1) continue;
        return row.runs[k].x0 <= x0;
    }
    return false;
}

// Whether the triangle's bounding box, within a width x height surface, lies in covered runs on
// every row (or off the surface): such a triangle has nothing to draw and need not be walked.
// With edges, the box takes in its right column and bottom row, where outlines can reach.
inline bool TriangleBoxCovered(const Point2 (&corners)[3], std::int32_t width, std::int32_t height,
                               const RowCoverage& coverage, bool edges = false) {
    const auto [left, right] = std::minmax({corners[0].x, corners[1].x, corners[2].x});
    const auto [top, bottom] = std::minmax({corners[0].y, corners[1].y, corners[2].y});
    const std::int32_t grow = edges ? 1 : 0;
    const std::int32_t x0 = std::max(left, 0);
    const std::int32_t x1 = right >= width - grow ? width : right + grow;
    const std::int32_t y1 = bottom >= height - grow ? height : bottom + grow;
    if (x0 >= x1) return true;
    std::int32_t y = std::max(top, 0);
    while (y < y1 && y < coverage.rows && RowCovers(coverage.row[y], x0, x1)) ++y;
    return y >= y1;
}

// Adds pixels x0 .. x1 - 1 to the row and writes the pieces of them that were not covered to
// pieces (room for limit + 1); returns their count, or -1 with the row unchanged when it has
// no room for one more run.
inline std::int32_t CoverRow(CoveredRow& row, std::int32_t limit, std::int32_t x0, std::int32_t x1,
                             CoveredRun* pieces) {
    CoveredRun* runs = row.runs;
    const std::int32_t count = row.count;
    std::int32_t first = 0;
    while (first < count && runs[first].x1 < x0) ++first;
    if (first == count || runs[first].x0 > x1) {
        if (count >= limit) return -1;
        for (std::int32_t k = count; k > first; --k) runs[k] = runs[k - 1];
        runs[first] = {x0, x1};
        row.count = count + 1;
        pieces[0] = {x0, x1};
        return 1;
    }
    // Runs first .. end - 1 overlap or touch the pixels: they merge into one, and the gaps
    // between them are the pieces.
    const std::int32_t start = runs[first].x0 < x0 ? runs[first].x0 : x0;
    std::int32_t pieceCount = 0;
    std::int32_t x = x0;
    std::int32_t end = first;
    do {
        if (x < runs[end].x0) pieces[pieceCount++] = {x, runs[end].x0};
        if (x < runs[end].x1) x = runs[end].x1;
        ++end;
    } while (end < count && runs[end].x0 <= x1);
    if (x < x1) {
        pieces[pieceCount++] = {x, x1};
        x = x1;
    }
    runs[first] = {start, x};
    const std::int32_t merged = end - first - 1;
    if (merged > 0) {
        for (std::int32_t k = first + 1; k + merged < count; ++k) runs[k] = runs[k + merged];
        row.count = count - merged;
    }
    return pieceCount;
}

// CoverRow on row y of the coverage; -1 for a row past its rows too, which has no room either.
inline std::int32_t CoverSpan(RowCoverage& coverage, std::int32_t y, std::int32_t x0, std::int32_t x1,
                              CoveredRun* pieces) {
    return y < coverage.rows ? CoverRow(coverage.row[y], coverage.runLimit, x0, x1, pieces) : -1;
}

}  // namespace vantrel
