#pragma once
// The one place where a colour meets the surface: every primitive but GradientFill, BitBlt and
// text writes through a RasterMix made from the context's raster operation.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "canvas/surface.h"

namespace vantrel {

// For a fixed pen colour every raster operation is new = (old AND andMask) XOR xorMask, bit by
// bit: with f0 / f1 the result for a destination bit of 0 / 1, andMask = f0 ^ f1 and
// xorMask = f0. The alpha byte of andMask is all ones, so the 0xFF alpha of a pixel survives.
struct RasterMix {
    std::uint32_t andMask = 0xFF000000u;
    std::uint32_t xorMask = 0;
};

// rop2 in 1 .. 16: result bit = bit (2 * pen + destination) of (rop2 - 1). Others act as R2_NOP.
inline RasterMix RasterMixFor(std::int32_t rop2, std::uint32_t penPixel) {
    if (rop2 < 1 || rop2 > 16) {
        return RasterMix{0xFFFFFFFFu, 0};
    }
    const std::uint32_t code = static_cast<std::uint32_t>(rop2 - 1);
    const auto all = [code](std::uint32_t bit) { return ((code >> bit) & 1u) != 0 ? 0x00FFFFFFu : 0u; };
    const std::uint32_t pen = penPixel & 0x00FFFFFFu;
    const std::uint32_t f0 = (pen & all(2)) | (~pen & all(0));
    const std::uint32_t f1 = (pen & all(3)) | (~pen & all(1));
    return RasterMix{((f0 ^ f1) & 0x00FFFFFFu) | 0xFF000000u, f0 & 0x00FFFFFFu};
}

inline bool RasterMixIsCopy(const RasterMix& mix) { return mix.andMask == 0xFF000000u; }
// Destination bits are kept or all flipped by the same mask (R2_NOT, R2_XORPEN ...).
inline bool RasterMixIsXor(const RasterMix& mix) { return mix.andMask == 0xFFFFFFFFu; }
// Leaves every pixel as it is.
inline bool RasterMixIsNop(const RasterMix& mix) { return mix.andMask == 0xFFFFFFFFu && mix.xorMask == 0; }

inline std::uint32_t RasterMixApply(const RasterMix& mix, std::uint32_t destination) {
    return (destination & mix.andMask) ^ mix.xorMask;
}

// Pixels p[0] .. p[count - 1] set to pixel, count >= 1; the caller clips. Runs up to sixteen are
// written by overlapping four-pixel stores without a loop, longer ones eight pixels a turn.
inline void FillPixels(std::uint32_t* p, std::int64_t count, std::uint32_t pixel) {
    if (count < 4) {
        p[0] = pixel;
        p[count >> 1] = pixel;
        p[count - 1] = pixel;
        return;
    }
    const std::uint32_t quad[4] = {pixel, pixel, pixel, pixel};
    std::uint32_t* const last = p + count - 4;
    if (count <= 8) {
        std::memcpy(p, quad, sizeof quad);
        std::memcpy(last, quad, sizeof quad);
        return;
    }
    if (count <= 16) {
        std::memcpy(p, quad, sizeof quad);
        std::memcpy(p + 4, quad, sizeof quad);
        std::memcpy(last - 4, quad, sizeof quad);
        std::memcpy(last, quad, sizeof quad);
        return;
    }
    for (; p + 4 < last; p += 8) {
        std::memcpy(p, quad, sizeof quad);
        std::memcpy(p + 4, quad, sizeof quad);
    }
    if (p < last) {
        std::memcpy(p, quad, sizeof quad);
    }
    std::memcpy(last, quad, sizeof quad);
}

// Pixels p[0] .. p[count - 1] mixed, count >= 1; the caller clips. Four pixels a step, eight a
// turn; the last four, overlapping the steps before, are read and mixed first, so no pixel is
// mixed twice and no load waits on a store just made.
inline void MixPixels(std::uint32_t* p, std::int64_t count, const RasterMix& mix) {
    if (count < 4) {
        for (std::int64_t i = 0; i < count; ++i) p[i] = RasterMixApply(mix, p[i]);
        return;
    }
    using Quad = std::uint32_t __attribute__((vector_size(16)));
    const Quad andMask = {mix.andMask, mix.andMask, mix.andMask, mix.andMask};
    const Quad xorMask = {mix.xorMask, mix.xorMask, mix.xorMask, mix.xorMask};
    const auto mixFour = [&andMask, &xorMask](std::uint32_t* q) {
        Quad v;
        std::memcpy(&v, q, sizeof v);
        v = (v & andMask) ^ xorMask;
        std::memcpy(q, &v, sizeof v);
    };
    std::uint32_t* const last = p + count - 4;
    Quad tail;
    std::memcpy(&tail, last, sizeof tail);
    tail = (tail & andMask) ^ xorMask;
    for (; p + 4 < last; p += 8) {
        mixFour(p);
        mixFour(p + 4);
    }
    if (p < last) mixFour(p);
    std::memcpy(last, &tail, sizeof tail);
}

// Pixels x0 .. x1 - 1 of one row; the caller clips.
inline void RasterMixSpan(const RasterMix& mix, std::uint32_t* row, std::int32_t x0, std::int32_t x1) {
    if (RasterMixIsCopy(mix)) {
        if (x0 < x1) {
            FillPixels(row + x0, x1 - x0, mix.xorMask | 0xFF000000u);
        }
        return;
    }
    for (std::int32_t x = x0; x < x1; ++x) {
        row[x] = RasterMixApply(mix, row[x]);
    }
}

inline std::uint32_t* SurfaceRow(const Surface& surface, std::int32_t y) {
    return surface.pixels + static_cast<std::ptrdiff_t>(y) * surface.pitch;
}

// Asks for the cache lines under x0 .. x1 - 1 a few rows further down: a shape's next rows are
// then on their way from memory while this one is written. Rows of a large surface lie far
// apart, and shapes arrive in depth order, not in memory order, so the caches rarely hold them.
inline void PrefetchRowsAhead(const Surface& surface, std::int32_t y, std::int32_t x0, std::int32_t x1) {
    constexpr std::int32_t kAhead = 4;
    if (y + kAhead >= surface.height) {
        return;
    }
    const std::uint32_t* row = SurfaceRow(surface, y + kAhead);
    for (std::int32_t x = x0; x < x1; x += 16) {
        __builtin_prefetch(row + x, 1);
    }
    __builtin_prefetch(row + x1 - 1, 1);
}

}  // namespace vantrel
