// Fuzzes the polygon fill against the oracle's fill rule: polygons of up to 100,000 points on
// surfaces of up to 4096 x 4096 pixels, every pixel of the checked rows decided again from the
// definition in exact integer arithmetic. The address sanitizer watches the surface.
//
// Input: width - 1 and height - 1 (two bytes each, 12 bits used), the point count (three bytes),
// a scale byte, then points as two 16-bit values each. Points the input does not spell out are
// made up from it: random, a zigzag between far rows, or its own points again with jitter.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "canvas/canvas.h"
#include "canvas/reference_oracle.h"

namespace {

constexpr std::int32_t kMaxSide = 4096;
constexpr std::int32_t kMaxPoints = 100000;
constexpr std::size_t kHeaderBytes = 8;
// Points times rows: the fill's work per input, and the oracle's, kept to a fraction of a
// second under the sanitizers.
constexpr std::int64_t kMaxFillWork = std::int64_t{1} << 21;
constexpr std::int64_t kMaxCheckWork = std::int64_t{1} << 19;

void Fail(const char* what, std::int32_t x, std::int32_t y) {
    std::fprintf(stderr, "polygon fill fuzzer: %s at pixel (%d, %d)\n", what, x, y);
    std::abort();
}

std::uint64_t NextRandom(std::uint64_t& state) {  // splitmix64
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::int32_t Unsigned(const std::uint8_t* data, int bytes) {
    std::int32_t value = 0;
    for (int k = bytes - 1; k >= 0; --k) {
        value = value * 256 + data[k];
    }
    return value;
}

// A 16-bit value scaled by 2^(shift - 4): from a sixteenth of a pixel apart to the whole range.
std::int32_t Coordinate(std::int64_t raw, int shift) {
    const std::int64_t value = (raw * (std::int64_t{1} << shift)) / 16;
    return static_cast<std::int32_t>(value < INT32_MIN ? INT32_MIN : value > INT32_MAX ? INT32_MAX : value);
}

std::vector<vantrel::Point2> MakePoints(const std::uint8_t* data, std::size_t size, std::int32_t count) {
    const int shift = data[7] % 32;
    const int mode = data[7] / 32 % 3;
    const std::uint8_t* spelled = data + kHeaderBytes;
    const auto given = static_cast<std::int32_t>(std::min<std::size_t>((size - kHeaderBytes) / 4, count));
    std::uint64_t state = size;
    for (std::size_t k = 0; k < size; ++k) {
        state = state * 131 + data[k];
    }
    std::vector<vantrel::Point2> points(static_cast<std::size_t>(count));
    std::vector<std::int64_t> raw(static_cast<std::size_t>(2 * count));
    for (std::int32_t i = 0; i < count; ++i) {
        std::int64_t& x = raw[static_cast<std::size_t>(2 * i)];
        std::int64_t& y = raw[static_cast<std::size_t>(2 * i + 1)];
        const std::uint64_t r = NextRandom(state);
        if (i < given) {
            x = static_cast<std::int16_t>(Unsigned(spelled + 4 * i, 2));
            y = static_cast<std::int16_t>(Unsigned(spelled + 4 * i + 2, 2));
        } else if (mode == 0 || (mode == 2 && given == 0)) {
            x = static_cast<std::int16_t>(r);
            y = static_cast<std::int16_t>(r >> 16);
        } else if (mode == 1) {
            x = 32767 - std::int64_t{65535} * i / count + static_cast<std::int64_t>(r % 3);
            y = i % 2 == 0 ? -32768 + static_cast<std::int64_t>(r % 64) : 32767 - static_cast<std::int64_t>(r % 64);
        } else {
            x = raw[static_cast<std::size_t>(2 * (i % given))] + static_cast<std::int64_t>(r % 5) - 2;
            y = raw[static_cast<std::size_t>(2 * (i % given) + 1)] + static_cast<std::int64_t>((r >> 8) % 5) - 2;
        }
        points[static_cast<std::size_t>(i)] = vantrel::Point2{Coordinate(x, shift), Coordinate(y, shift)};
    }
    return points;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < kHeaderBytes) return -1;
    const std::int32_t width = Unsigned(data, 2) % kMaxSide + 1;
    const std::int32_t height = Unsigned(data + 2, 2) % kMaxSide + 1;
    const std::int32_t count = Unsigned(data + 4, 3) % (kMaxPoints + 1);
    if (count < 3 || std::int64_t{count} * height > kMaxFillWork) return -1;
    const std::vector<vantrel::Point2> points = MakePoints(data, size, count);

    const vantrel::ObjectHandle bitmap = vantrel::CreateBitmap(width, height);
    const vantrel::DcHandle dc = vantrel::CreateCompatibleDC(nullptr);
    vantrel::SelectObject(dc, bitmap);
    vantrel::SelectObject(dc, vantrel::GetStockObject(vantrel::NULL_PEN));
    vantrel::SelectObject(dc, vantrel::GetStockObject(vantrel::WHITE_BRUSH));
    const vantrel::Surface* surface = vantrel::DcSurface(dc);
    if (surface == nullptr || !vantrel::Polygon(dc, points.data(), count)) Fail("no surface or no fill", 0, 0);
    const auto covers = [surface](std::int32_t x, std::int32_t y) {
        return (surface->pixels[static_cast<std::ptrdiff_t>(y) * surface->pitch + x] & 0xFFFFFFu) != 0;
    };

    // Every row when the oracle can afford it, else evenly spaced ones from a varying start, and
    // the last row.
    std::vector<std::uint8_t> covered;
    const auto check_row = [&](std::int32_t y) {
        vantrel::test::OracleFillRow(points.data(), count, y, width, covered);
        for (std::int32_t x = 0; x < width; ++x) {
            if (covers(x, y) != (covered[static_cast<std::size_t>(x)] != 0)) Fail("fill differs from the oracle", x, y);
        }
    };
    const std::int64_t work = std::int64_t{count + width} * height;
    const auto stride = static_cast<std::int32_t>((work + kMaxCheckWork - 1) / kMaxCheckWork);
    for (auto y = static_cast<std::int32_t>(size % static_cast<std::size_t>(stride)); y < height; y += stride) {
        check_row(y);
    }
    check_row(height - 1);
    // A few pixels straight from the per-pixel rule, which the row oracle stands for.
    std::uint64_t state = size;
    for (int probe = 0; probe < 8; ++probe) {
        const std::uint64_t r = NextRandom(state);
        const auto x = static_cast<std::int32_t>(r % static_cast<std::uint64_t>(width));
        const auto y = static_cast<std::int32_t>((r >> 32) % static_cast<std::uint64_t>(height));
        if (covers(x, y) != vantrel::test::OracleFillCovers(points.data(), count, x, y)) Fail("fill differs from the pixel rule", x, y);
    }
    vantrel::DeleteDC(dc);
    vantrel::DeleteObject(bitmap);
    return 0;
}
