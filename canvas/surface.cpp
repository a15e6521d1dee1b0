#include "canvas/surface.h"

#include <algorithm>
#include <new>

namespace vantrel {

bool SurfaceCreate(std::int32_t width, std::int32_t height, Surface& out) {
    out = Surface{};
    if (width < 1 || height < 1 || width > kSurfaceMaxSide || height > kSurfaceMaxSide) {
        return false;
    }
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    std::uint32_t* pixels = new (std::nothrow) std::uint32_t[count];
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
    delete[] surface.pixels;
    surface = Surface{};
}

}  // namespace vantrel
