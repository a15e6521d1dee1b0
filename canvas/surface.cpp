#include "canvas/surface.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace vantrel {
namespace {

// Surfaces of a few megabytes start on a 2 MiB boundary and ask for huge pages: a triangle's
// rows lie a row's pitch apart, so with 4 KiB pages nearly every row of a large view costs a
// TLB miss.
constexpr std::size_t kHugePage = std::size_t{2} << 20;

#if defined(_WIN32)
// Windows has no aligned_alloc, and only _aligned_free may free what _aligned_malloc returns:
// so every surface, small ones too, comes from _aligned_malloc there.
void* Allocate(std::size_t bytes, std::size_t alignment) { return _aligned_malloc(bytes, alignment); }
void Release(void* memory) { _aligned_free(memory); }
#else
void* Allocate(std::size_t bytes, std::size_t alignment) {
    return alignment <= alignof(std::max_align_t) ? std::malloc(bytes) : std::aligned_alloc(alignment, bytes);
}
void Release(void* memory) { std::free(memory); }
#endif

std::uint32_t* AllocatePixels(std::size_t count) {
    const std::size_t bytes = count * sizeof(std::uint32_t);
    if (bytes < kHugePage) {
        return static_cast<std::uint32_t*>(Allocate(bytes, alignof(std::max_align_t)));
    }
    const std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
    void* memory = Allocate(rounded, kHugePage);
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    if (memory != nullptr) {
        madvise(memory, rounded, MADV_HUGEPAGE);  // only advice: without huge pages all still works
    }
#endif
    return static_cast<std::uint32_t*>(memory);
}

}  // namespace

bool SurfaceCreate(std::int32_t width, std::int32_t height, Surface& out) {
    out = Surface{};
    if (width < 1 || height < 1 || width > kSurfaceMaxSide || height > kSurfaceMaxSide) {
        return false;
    }
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    std::uint32_t* pixels = AllocatePixels(count);
    if (pixels == nullptr) {
        return false;
    }
    std::fill_n(pixels, count, PixelFromColorRef(0));
    out.width = width;
    out.height = height;
    out.pitch = width;
    out.pixels = pixels;
    return true;
}

void SurfaceDestroy(Surface& surface) {
    Release(surface.pixels);
    surface = Surface{};
}

}  // namespace vantrel
