#include "canvas/pixel_paths.h"

#include <algorithm>
#include <atomic>

namespace vantrel {
namespace {

PixelPath DetectWidest() {
#if defined(__x86_64__)
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") ? PixelPath::Avx2 : PixelPath::Sse2;
#else
    return PixelPath::Portable;
#endif
}

std::atomic<std::int32_t> limit{static_cast<std::int32_t>(PixelPath::Avx2)};

}  // namespace

PixelPath WidestPixelPath() {
    static const PixelPath widest = DetectWidest();
    return widest;
}

PixelPath CurrentPixelPath() {
    return static_cast<PixelPath>(
        std::min(static_cast<std::int32_t>(WidestPixelPath()), limit.load(std::memory_order_relaxed)));
}

PixelPath LimitPixelPath(PixelPath widest) {
    return static_cast<PixelPath>(limit.exchange(static_cast<std::int32_t>(widest), std::memory_order_relaxed));
}

}  // namespace vantrel
