#pragma once
// The per-pixel loops come in a portable form and, on x86-64, in SSE2 (always present there) and
// AVX2 (used only when the processor reports it). All of them write the same pixels.
#include <cstdint>

namespace vantrel {

enum class PixelPath : std::int32_t { Portable = 0, Sse2 = 1, Avx2 = 2 };

// The widest path this processor and build can run.
PixelPath WidestPixelPath();
// The path the canvas uses now: the widest, unless limited below it.
PixelPath CurrentPixelPath();
// Uses no path wider than widest from now on (tests compare the paths); returns the old limit.
PixelPath LimitPixelPath(PixelPath widest);

}  // namespace vantrel
