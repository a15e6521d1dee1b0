#include <algorithm>
#include <type_traits>

#include "canvas/drawing.h"
#include "canvas/polygon_spans.h"
#include "canvas/raster_ops.h"
#include "canvas/wide_int.h"

namespace vantrel {
namespace {

struct Channels {
    std::int64_t value[3] = {0, 0, 0};  // red, green, blue, 16 bits each
};

Channels ChannelsOf(const TriVertex& v) { return Channels{{v.red, v.green, v.blue}}; }

// 16-bit channels to a pixel: the high byte of each is the colour byte.
std::uint32_t PixelFromChannels(std::int64_t red, std::int64_t green, std::int64_t blue) {
    return 0xFF000000u | static_cast<std::uint32_t>(((red >> 8) << 16) | ((green >> 8) << 8) | (blue >> 8));
}

// The ramp of length L from a to b at offsets p, p + 1, ...: each channel is
// floor((a (L - p) + b p) / L), exact in 64 bits for every L below 2^32. The numerator grows by
// b - a per offset, so the floor is stepped by whole and fractional parts, not divided each time.
struct RampStepper {
    std::int64_t length = 1;
    std::int64_t value[3] = {0, 0, 0};
    std::int64_t remainder[3] = {0, 0, 0};      // 0 <= remainder < length
    std::int64_t stepValue[3] = {0, 0, 0};      // floor((b - a) / length)
    std::int64_t stepRemainder[3] = {0, 0, 0};  // 0 <= stepRemainder < length

    void Start(const Channels& a, const Channels& b, std::int64_t rampLength, std::int64_t p) {
        length = rampLength;
        for (int k = 0; k < 3; ++k) {
            const std::int64_t numerator = a.value[k] * (length - p) + b.value[k] * p;  // >= 0
            value[k] = numerator / length;
            remainder[k] = numerator - value[k] * length;
            const std::int64_t growth = b.value[k] - a.value[k];
            stepValue[k] = growth >= 0 ? growth / length : -((-growth + length - 1) / length);
            stepRemainder[k] = growth - stepValue[k] * length;
        }
    }
    std::uint32_t Pixel() const { return PixelFromChannels(value[0], value[1], value[2]); }
    void Step() {
        for (int k = 0; k < 3; ++k) {
            value[k] += stepValue[k];
            remainder[k] += stepRemainder[k];
            if (remainder[k] >= length) {
                remainder[k] -= length;
                ++value[k];
            }
        }
    }
};

void FillGradientRect(const Surface& surface, const TriVertex& a, const TriVertex& b, bool horizontal) {
    const std::int64_t left = std::min(a.x, b.x);
    const std::int64_t right = std::max(a.x, b.x);
    const std::int64_t top = std::min(a.y, b.y);
    const std::int64_t bottom = std::max(a.y, b.y);
    const std::int32_t x0 = static_cast<std::int32_t>(std::max<std::int64_t>(left, 0));
    const std::int32_t x1 = static_cast<std::int32_t>(std::min<std::int64_t>(right, surface.width));
    const std::int32_t y0 = static_cast<std::int32_t>(std::max<std::int64_t>(top, 0));
    const std::int32_t y1 = static_cast<std::int32_t>(std::min<std::int64_t>(bottom, surface.height));
    if (x0 >= x1 || y0 >= y1) {
        return;
    }
    // The vertex nearer the start of the ramp brings its colour with it.
    const bool aFirst = horizontal ? a.x <= b.x : a.y <= b.y;
    const Channels start = ChannelsOf(aFirst ? a : b);
    const Channels end = ChannelsOf(aFirst ? b : a);
    if (horizontal) {
        std::uint32_t* first = SurfaceRow(surface, y0);
        RampStepper ramp;
        ramp.Start(start, end, right - left, x0 - left);
        for (std::int32_t x = x0; x < x1; ++x, ramp.Step()) {
            first[x] = ramp.Pixel();
        }
        for (std::int32_t y = y0 + 1; y < y1; ++y) {
            std::copy(first + x0, first + x1, SurfaceRow(surface, y) + x0);
        }
        return;
    }
    RampStepper ramp;
    ramp.Start(start, end, bottom - top, y0 - top);
    for (std::int32_t y = y0; y < y1; ++y, ramp.Step()) {
        std::uint32_t* row = SurfaceRow(surface, y);
        FillPixels(row + x0, x1 - x0, ramp.Pixel());
    }
}

// One channel of a triangle's ramp along a row: value = floor(numerator / det), stepped by whole
// and fractional parts so the inner loop only adds. Wide is 64-bit for small triangles and
// 128-bit when the weight products need it.
template <typename Wide>
struct ChannelStepper {
    std::int64_t value = 0;
    Wide remainder = 0;  // 0 <= remainder < det
    std::int64_t stepValue = 0;
    Wide stepRemainder = 0;

    void Start(Wide numerator, Wide stepNumerator, Wide det) {
        const Wide q = FloorOf(numerator, det);
        value = static_cast<std::int64_t>(q);
        remainder = numerator - q * det;
        const Wide s = FloorOf(stepNumerator, det);
        stepValue = static_cast<std::int64_t>(s);
        stepRemainder = stepNumerator - s * det;
    }
    void Step(Wide det) {
        value += stepValue;
        remainder += stepRemainder;
        if (remainder >= det) {
            remainder -= det;
            ++value;
        }
    }
    static Wide FloorOf(Wide n, Wide d) {
        Wide q = n / d;
        if (n % d != 0 && n < 0) {
            --q;
        }
        return q;
    }
};

template <typename Wide>
void FillGradientTriangle(const Surface& surface, const TriVertex (&v)[3]) {
    const Wide x0 = v[0].x, y0 = v[0].y, x1 = v[1].x, y1 = v[1].y, x2 = v[2].x, y2 = v[2].y;
    Wide det = (x1 - x0) * (y2 - y0) - (x2 - x0) * (y1 - y0);
    if (det == 0) {
        return;
    }
    // Barycentric weights scaled by det; flipping all signs keeps det positive.
    const Wide sign = det < 0 ? -1 : 1;
    det *= sign;
    const Channels c[3] = {ChannelsOf(v[0]), ChannelsOf(v[1]), ChannelsOf(v[2])};
    Wide stepX[3];
    for (int k = 0; k < 3; ++k) {
        stepX[k] = sign * (c[0].value[k] * (y1 - y2) + c[1].value[k] * (y2 - y0) + c[2].value[k] * (y0 - y1));
    }
    const Point2 corners[3] = {{v[0].x, v[0].y}, {v[1].x, v[1].y}, {v[2].x, v[2].y}};
    TriangleForEachSpan(corners, surface.width, surface.height,
                       [&](std::int32_t y, std::int32_t xa, std::int32_t xb) {
                           const Wide px = xa, py = y;
                           const Wide w0 = (x1 - px) * (y2 - py) - (x2 - px) * (y1 - py);
                           const Wide w1 = (x2 - px) * (y0 - py) - (x0 - px) * (y2 - py);
                           const Wide w2 = det * sign - w0 - w1;
                           ChannelStepper<Wide> channel[3];
                           for (int k = 0; k < 3; ++k) {
                               const Wide numerator = c[0].value[k] * w0 + c[1].value[k] * w1 + c[2].value[k] * w2;
                               channel[k].Start(sign * numerator, stepX[k], det);
                           }
                           std::uint32_t* row = SurfaceRow(surface, y);
                           for (std::int32_t x = xa; x < xb; ++x) {
                               row[x] = PixelFromChannels(channel[0].value, channel[1].value, channel[2].value);
                               channel[0].Step(det);
                               channel[1].Step(det);
                               channel[2].Step(det);
                           }
                       });
}

// Corners within +-2^20 keep every weight product and channel sum below 2^62.
bool FitsSixtyFourBits(const TriVertex (&v)[3]) {
    constexpr std::int32_t kLimit = 1 << 20;
    for (const TriVertex& corner : v) {
        if (corner.x < -kLimit || corner.x > kLimit || corner.y < -kLimit || corner.y > kLimit) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool GradientFill(DcHandle dc, const TriVertex* vertices, std::uint32_t vertexCount, const void* mesh,
                  std::uint32_t meshCount, std::uint32_t mode) {
    if (dc == nullptr || (meshCount > 0 && (vertices == nullptr || mesh == nullptr))) {
        return false;
    }
    if (mode == GRADIENT_FILL_RECT_H || mode == GRADIENT_FILL_RECT_V) {
        const auto* rects = static_cast<const GradientRectMesh*>(mesh);
        for (std::uint32_t i = 0; i < meshCount; ++i) {
            if (rects[i].upperLeft >= vertexCount || rects[i].lowerRight >= vertexCount) {
                return false;
            }
        }
        const Surface* surface = DcSurface(dc);
        for (std::uint32_t i = 0; surface != nullptr && i < meshCount; ++i) {
            FillGradientRect(*surface, vertices[rects[i].upperLeft], vertices[rects[i].lowerRight],
                             mode == GRADIENT_FILL_RECT_H);
        }
        return true;
    }
    if (mode != GRADIENT_FILL_TRIANGLE) {
        return false;
    }
    const auto* triangles = static_cast<const GradientTriangleMesh*>(mesh);
    for (std::uint32_t i = 0; i < meshCount; ++i) {
        if (triangles[i].vertex1 >= vertexCount || triangles[i].vertex2 >= vertexCount ||
            triangles[i].vertex3 >= vertexCount) {
            return false;
        }
    }
    const Surface* surface = DcSurface(dc);
    for (std::uint32_t i = 0; surface != nullptr && i < meshCount; ++i) {
        const TriVertex corners[3] = {vertices[triangles[i].vertex1], vertices[triangles[i].vertex2],
                                      vertices[triangles[i].vertex3]};
        if (FitsSixtyFourBits(corners)) {
            FillGradientTriangle<std::int64_t>(*surface, corners);
        } else {
            FillGradientTriangle<Int128>(*surface, corners);
        }
    }
    return true;
}

TriVertex TriVertexFromColorRef(std::int32_t x, std::int32_t y, ColorRef color) {
    TriVertex vertex;
    vertex.x = x;
    vertex.y = y;
    vertex.red = static_cast<std::uint16_t>((color & 0xFFu) << 8);
    vertex.green = static_cast<std::uint16_t>(((color >> 8) & 0xFFu) << 8);
    vertex.blue = static_cast<std::uint16_t>(((color >> 16) & 0xFFu) << 8);
    return vertex;
}

}  // namespace vantrel
