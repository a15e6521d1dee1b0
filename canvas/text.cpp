#include <algorithm>

#include "canvas/drawing.h"
#include "canvas/font_engine.h"
#include "canvas/gdi_object.h"
#include "canvas/raster_ops.h"

namespace vantrel {
namespace {

FontEngine& EngineFor(DcHandle dc) {
    const ObjectHandle font = dc->state.font;
    if (font != nullptr && font->engine != nullptr) {
        return *font->engine;
    }
    return dc->fontEngine != nullptr ? *dc->fontEngine : BuiltinFontEngine();
}

// Blends glyph coverage in the text colour into the surface, dropping whatever lies outside it.
class TextCoverage final : public CoverageSink {
public:
    TextCoverage(const Surface& surface, ColorRef color) : surface_(surface), color_(PixelFromColorRef(color)) {}

    void Row(std::int32_t x, std::int32_t y, const std::uint8_t* coverage, std::int32_t count) override {
        if (coverage == nullptr || y < 0 || y >= surface_.height || count <= 0) {
            return;
        }
        const std::int64_t first = std::max<std::int64_t>(0, -static_cast<std::int64_t>(x));
        const std::int64_t end = std::min<std::int64_t>(count, static_cast<std::int64_t>(surface_.width) - x);
        std::uint32_t* row = SurfaceRow(surface_, y);
        for (std::int64_t k = first; k < end; ++k) {
            std::uint32_t& pixel = row[x + k];
            pixel = Blend(pixel, coverage[k]);
        }
    }

    void Bounds(std::int32_t& x0, std::int32_t& y0, std::int32_t& x1, std::int32_t& y1) const override {
        x0 = 0;
        y0 = 0;
        x1 = surface_.width;
        y1 = surface_.height;
    }

private:
    // Each channel moves from the pixel toward the text colour by coverage / 255, rounded.
    std::uint32_t Blend(std::uint32_t pixel, std::uint32_t alpha) const {
        if (alpha == 0) {
            return pixel;
        }
        if (alpha == 255) {
            return color_;
        }
        std::uint32_t out = 0xFF000000u;
        for (int shift = 0; shift <= 16; shift += 8) {
            const std::uint32_t under = (pixel >> shift) & 0xFFu;
            const std::uint32_t over = (color_ >> shift) & 0xFFu;
            out |= ((under * (255 - alpha) + over * alpha + 127) / 255) << shift;
        }
        return out;
    }

    const Surface& surface_;
    std::uint32_t color_;
};

}  // namespace

bool TextOut(DcHandle dc, std::int32_t x, std::int32_t y, const char* text, std::int32_t length) {
    if (dc == nullptr || length < 0 || (text == nullptr && length > 0)) {
        return false;
    }
    const Surface* surface = DcSurface(dc);
    if (surface == nullptr || length == 0) {
        return true;
    }
    FontEngine& engine = EngineFor(dc);
    if (dc->state.backgroundMode == OPAQUE) {
        TextSize box;
        engine.Measure(text, length, box);
        const std::int64_t x0 = std::max<std::int64_t>(x, 0);
        const std::int64_t x1 = std::min<std::int64_t>(static_cast<std::int64_t>(x) + box.width, surface->width);
        const std::int64_t y0 = std::max<std::int64_t>(y, 0);
        const std::int64_t y1 = std::min<std::int64_t>(static_cast<std::int64_t>(y) + box.height, surface->height);
        const RasterMix fill = RasterMixFor(R2_COPYPEN, PixelFromColorRef(dc->state.backgroundColor));
        for (std::int64_t row = y0; x0 < x1 && row < y1; ++row) {
            RasterMixSpan(fill, SurfaceRow(*surface, static_cast<std::int32_t>(row)), static_cast<std::int32_t>(x0),
                          static_cast<std::int32_t>(x1));
        }
    }
    TextCoverage sink(*surface, dc->state.textColor);
    engine.Render(text, length, x, y, sink);
    return true;
}

bool GetTextExtentPoint32(DcHandle dc, const char* text, std::int32_t length, TextSize& out) {
    out = TextSize{};
    if (dc == nullptr || length < 0 || (text == nullptr && length > 0)) {
        return false;
    }
    EngineFor(dc).Measure(text, length, out);
    return true;
}

void EmitGlyphCell(CoverageSink& sink, std::int64_t left, std::int64_t top, std::int32_t width, std::int32_t height,
                   const std::uint8_t* cell) {
    std::int32_t boundsX0 = 0, boundsY0 = 0, boundsX1 = 0, boundsY1 = 0;
    sink.Bounds(boundsX0, boundsY0, boundsX1, boundsY1);
    const std::int64_t x0 = std::max<std::int64_t>(left, boundsX0);
    const std::int64_t x1 = std::min<std::int64_t>(left + width, boundsX1);
    const std::int64_t y0 = std::max<std::int64_t>(top, boundsY0);
    const std::int64_t y1 = std::min<std::int64_t>(top + height, boundsY1);
    for (std::int64_t row = y0; x0 < x1 && row < y1; ++row) {
        sink.Row(static_cast<std::int32_t>(x0), static_cast<std::int32_t>(row), cell + (row - top) * width + (x0 - left),
                 static_cast<std::int32_t>(x1 - x0));
    }
}

}  // namespace vantrel
