#include "canvas/drawing.h"
#include "canvas/raster_ops.h"

namespace vantrel {
namespace {

std::uint32_t* PixelAt(DcHandle dc, std::int32_t x, std::int32_t y) {
    const Surface* surface = DcSurface(dc);
    if (surface == nullptr || x < 0 || y < 0 || x >= surface->width || y >= surface->height) {
        return nullptr;
    }
    return SurfaceRow(*surface, y) + x;
}

}  // namespace

ColorRef SetPixel(DcHandle dc, std::int32_t x, std::int32_t y, ColorRef color) {
    std::uint32_t* pixel = PixelAt(dc, x, y);
    if (pixel == nullptr) {
        return CLR_INVALID;
    }
    *pixel = RasterMixApply(RasterMixFor(dc->state.rop2, PixelFromColorRef(color)), *pixel);
    return color & 0x00FFFFFFu;
}

ColorRef GetPixel(DcHandle dc, std::int32_t x, std::int32_t y) {
    const std::uint32_t* pixel = PixelAt(dc, x, y);
    return pixel == nullptr ? CLR_INVALID : ColorRefFromPixel(*pixel);
}

}  // namespace vantrel
