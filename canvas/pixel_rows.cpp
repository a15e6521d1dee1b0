#include "canvas/pixel_rows.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#if defined(__x86_64__)
#include <emmintrin.h>
#endif

#include "canvas/pixel_paths.h"

namespace vantrel {
namespace {

#if defined(__x86_64__)
void StreamRow(std::uint32_t* to, const std::uint32_t* from, std::int32_t count) {
    std::int32_t k = 0;
    // Streaming stores need 16-byte alignment: single pixels until the target has it.
    for (; k < count && (reinterpret_cast<std::uintptr_t>(to + k) & 15) != 0; ++k) to[k] = from[k];
    for (; k + 16 <= count; k += 16) {
        const auto* in = reinterpret_cast<const __m128i*>(from + k);
        auto* out = reinterpret_cast<__m128i*>(to + k);
        const __m128i a = _mm_loadu_si128(in), b = _mm_loadu_si128(in + 1);
        const __m128i c = _mm_loadu_si128(in + 2), d = _mm_loadu_si128(in + 3);
        _mm_stream_si128(out, a);
        _mm_stream_si128(out + 1, b);
        _mm_stream_si128(out + 2, c);
        _mm_stream_si128(out + 3, d);
    }
    for (; k + 4 <= count; k += 4) {
        _mm_stream_si128(reinterpret_cast<__m128i*>(to + k),
                         _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + k)));
    }
    for (; k < count; ++k) to[k] = from[k];
}
#endif

}  // namespace

void CopyPixelRows(std::uint32_t* target, std::int32_t targetPitch, const std::uint32_t* source,
                   std::int32_t sourcePitch, std::int32_t width, std::int32_t rows) {
    if (width <= 0 || rows <= 0) return;
#if defined(__x86_64__)
    if (CurrentPixelPath() != PixelPath::Portable) {
        for (std::int32_t y = 0; y < rows; ++y) {
            StreamRow(target + std::ptrdiff_t{y} * targetPitch, source + std::ptrdiff_t{y} * sourcePitch,
                      width);
        }
        _mm_sfence();  // streamed stores are weakly ordered: publish them before anyone reads
        return;
    }
#endif
    const std::size_t bytes = static_cast<std::size_t>(width) * sizeof(std::uint32_t);
    for (std::int32_t y = 0; y < rows; ++y) {
        std::memcpy(target + std::ptrdiff_t{y} * targetPitch, source + std::ptrdiff_t{y} * sourcePitch,
                    bytes);
    }
}

void FillPixelRows(std::uint32_t* target, std::int32_t targetPitch, std::uint32_t value, std::int32_t width,
                   std::int32_t rows) {
    for (std::int32_t y = 0; y < std::max(rows, 0); ++y) {
        std::uint32_t* row = target + std::ptrdiff_t{y} * targetPitch;
        std::fill(row, row + std::max(width, 0), value);
    }
}

}  // namespace vantrel
