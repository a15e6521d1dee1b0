#pragma once
// The gradient-triangle fill as it was before the stepped byte ramps: per row, each channel's
// exact 16-bit ramp value set up by division and stepped per pixel, its high byte written. The
// faster fills must write exactly its pixels.
#include <cstdint>

#include "canvas/canvas.h"
#include "canvas/polygon_spans.h"
#include "canvas/wide_int.h"

namespace vantrel::test {

inline void ReferenceGradientTriangle(const Surface& surface, const TriVertex (&v)[3]) {
    using Wide = Int128;
    const auto floorOf = [](Wide n, Wide d) { return n / d - (n % d != 0 && n < 0 ? 1 : 0); };
    const Wide x0 = v[0].x, y0 = v[0].y, x1 = v[1].x, y1 = v[1].y, x2 = v[2].x, y2 = v[2].y;
    Wide det = (x1 - x0) * (y2 - y0) - (x2 - x0) * (y1 - y0);
    if (det == 0) return;
    const Wide sign = det < 0 ? -1 : 1;
    det *= sign;
    const Wide c[3][3] = {{v[0].red, v[0].green, v[0].blue}, {v[1].red, v[1].green, v[1].blue}, {v[2].red, v[2].green, v[2].blue}};
    Wide stepX[3];
    for (int k = 0; k < 3; ++k) stepX[k] = sign * (c[0][k] * (y1 - y2) + c[1][k] * (y2 - y0) + c[2][k] * (y0 - y1));
    const Point2 corners[3] = {{v[0].x, v[0].y}, {v[1].x, v[1].y}, {v[2].x, v[2].y}};
    TriangleForEachSpan(corners, surface.width, surface.height, [&](std::int32_t y, std::int32_t xa, std::int32_t xb) {
        const Wide px = xa, py = y;
        const Wide w0 = (x1 - px) * (y2 - py) - (x2 - px) * (y1 - py);
        const Wide w1 = (x2 - px) * (y0 - py) - (x0 - px) * (y2 - py);
        const Wide w2 = det * sign - w0 - w1;
        Wide value[3], remainder[3], stepValue[3], stepRemainder[3];
        for (int k = 0; k < 3; ++k) {
            const Wide numerator = sign * (c[0][k] * w0 + c[1][k] * w1 + c[2][k] * w2);
            value[k] = floorOf(numerator, det);
            remainder[k] = numerator - value[k] * det;
            stepValue[k] = floorOf(stepX[k], det);
            stepRemainder[k] = stepX[k] - stepValue[k] * det;
        }
        for (std::int32_t x = xa; x < xb; ++x) {
            surface.pixels[static_cast<std::ptrdiff_t>(y) * surface.pitch + x] =
                0xFF000000u | static_cast<std::uint32_t>(((value[0] >> 8) << 16) | ((value[1] >> 8) << 8) | (value[2] >> 8));
            for (int k = 0; k < 3; ++k) {
                value[k] += stepValue[k];
                remainder[k] += stepRemainder[k];
                if (remainder[k] >= det) {
                    remainder[k] -= det;
                    ++value[k];
                }
            }
        }
    });
}

}  // namespace vantrel::test
