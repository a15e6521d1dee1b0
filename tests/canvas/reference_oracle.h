#pragma once
// A slow, pixel-by-pixel model of the drawing rules, used as the oracle for the canvas: every
// pixel is decided on its own from the definitions (corner-point parity for fills, the rounded
// ideal line for lines, exact barycentric weights for gradients), in 128-bit arithmetic, so it
// gives the geometric result at any coordinates.
#include <cstdint>
#include <string_view>
#include <vector>

#include "geometry/point.h"

namespace vantrel::test {

struct OracleImage {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint32_t> rgb;  // 0x00RRGGBB, rows top first
};

// Draws a drawing script (the canvas-replay format) on a new image; false for a bad script.
bool OracleRunScript(std::string_view script, OracleImage& out);

// The single rules, for property tests.
bool OracleFillCovers(const Point2* points, std::int32_t count, std::int64_t x, std::int64_t y);
// OracleFillCovers for every pixel of row y at once (covered[x], x = 0 .. width - 1), in time
// linear in the points plus the width: for polygons too large to test pixel by pixel.
void OracleFillRow(const Point2* points, std::int32_t count, std::int64_t y, std::int32_t width,
                   std::vector<std::uint8_t>& covered);
bool OracleLineCovers(const Point2& from, const Point2& to, std::int64_t x, std::int64_t y);
// Result of raster operation rop (1..16) for pen colour and destination (24-bit RGB values).
std::uint32_t OracleRop(std::int32_t rop, std::uint32_t pen, std::uint32_t destination);

}  // namespace vantrel::test
