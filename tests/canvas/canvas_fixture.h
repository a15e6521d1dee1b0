#pragma once
// Small helpers for canvas tests: a context over a fresh bitmap, pixel access, seeded randoms.
#include <cstdint>
#include <vector>

#include "geometry/random.h"
#include "canvas/canvas.h"

namespace vantrel::test {

// A device context with a black width x height bitmap selected; frees both on destruction.
class CanvasFixture {
public:
    CanvasFixture(std::int32_t width, std::int32_t height)
        : dc(CreateCompatibleDC(nullptr)), bitmap(CreateBitmap(width, height)) {
        SelectObject(dc, bitmap);
    }
    ~CanvasFixture() {
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
    CanvasFixture(const CanvasFixture&) = delete;
    CanvasFixture& operator=(const CanvasFixture&) = delete;

    Surface& surface() const { return *DcSurface(dc); }
    // 0x00RRGGBB of one pixel.
    std::uint32_t At(std::int32_t x, std::int32_t y) const {
        return surface().pixels[static_cast<std::ptrdiff_t>(y) * surface().pitch + x] & 0x00FFFFFFu;
    }
    std::vector<std::uint32_t> Pixels() const {
        std::vector<std::uint32_t> out;
        for (std::int32_t y = 0; y < surface().height; ++y) {
            for (std::int32_t x = 0; x < surface().width; ++x) {
                out.push_back(At(x, y));
            }
        }
        return out;
    }

    DcHandle dc;
    ObjectHandle bitmap;
};

// Uniform integer in lo .. hi.
inline std::int64_t RandomBetween(Random& random, std::int64_t lo, std::int64_t hi) {
    const double u = RandomUniform(random);
    const std::int64_t value = lo + static_cast<std::int64_t>(u * static_cast<double>(hi - lo + 1));
    return value > hi ? hi : value;
}

inline Random SeededRandom(double seed) {
    Random random;
    RandomSeed(random, seed);
    return random;
}

}  // namespace vantrel::test
