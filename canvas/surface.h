#pragma once
// A 32-bit pixel surface: the memory behind a bitmap. Each pixel is 0xFFRRGGBB, the layout of
// QImage::Format_RGB32, so the window layer can show a surface without copying it.
#include <cstdint>

#include "geometry/color.h"

namespace vantrel {

struct Surface {
    std::int32_t width = 0;         // pixels
    std::int32_t height = 0;        // pixels
    std::int32_t pitch = 0;         // pixels from one row to the next
    std::uint32_t* pixels = nullptr;  // row 0 first; owned by the surface
};

// Largest side a surface may have; larger requests fail.
inline constexpr std::int32_t kSurfaceMaxSide = 16384;

// A width x height surface filled with black. Fails (false, out empty) for sides outside
// 1 .. kSurfaceMaxSide or when memory runs out.
bool SurfaceCreate(std::int32_t width, std::int32_t height, Surface& out);
// Frees the pixels; the surface becomes empty. Harmless on an empty surface.
void SurfaceDestroy(Surface& surface);

// Pixel value <-> packed 0x00BBGGRR colour.
inline std::uint32_t PixelFromColorRef(ColorRef color) {
    return 0xFF000000u | ((color & 0xFFu) << 16) | (color & 0xFF00u) | ((color >> 16) & 0xFFu);
}
inline ColorRef ColorRefFromPixel(std::uint32_t pixel) {
    return ((pixel & 0xFFu) << 16) | (pixel & 0xFF00u) | ((pixel >> 16) & 0xFFu);
}

}  // namespace vantrel
