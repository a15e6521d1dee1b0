#pragma once
// Text for the canvas in Qt's default proportional UI font, the stand-in for the stock
// variable-pitch font. Needs a QGuiApplication.
#include <QFont>
#include <QFontMetrics>

#include <array>
#include <cstdint>
#include <vector>

#include "canvas/font_engine.h"

namespace vantrel {

// Each Latin-1 glyph is rendered once per pixel ratio, on first use, into a coverage store that
// later text reuses, so drawing text allocates nothing once its characters have been seen.
class QtFontEngine final : public FontEngine {
public:
    QtFontEngine();  // the system's general UI font
    explicit QtFontEngine(const QFont& font);

    // Draws at ratio times the font's pixel size from now on, lines round(ratio x the line
    // height) apart, for a back buffer of that many device pixels per logical one. The stores
    // of the last few ratios are kept, so a window moving between two screens renders nothing
    // anew; an older ratio's store is reused for a new one.
    void SetPixelRatio(double ratio);

    // Text bytes are Latin-1; the width is the sum of the glyphs' advances, the height the
    // font's line height.
    void Measure(const char* text, std::int32_t length, TextSize& out) override;
    // Antialiased glyph coverage, passed on only where the sink can show it.
    void Render(const char* text, std::int32_t length, std::int32_t x, std::int32_t y, CoverageSink& sink) override;

private:
    struct Glyph {
        bool ready = false;
        std::int32_t advance = 0;  // pixels to the next glyph's pen position
        // The cell holding every pixel the glyph may touch, relative to the pen position on
        // the text's top edge.
        std::int32_t left = 0;
        std::int32_t top = 0;
        std::int32_t width = 0;
        std::int32_t height = 0;
        std::size_t offset = 0;  // first coverage byte in coverage, rows of width bytes
    };

    // The font at one ratio and the glyphs drawn with it so far.
    struct GlyphStore {
        GlyphStore(const QFont& base, double ratio);
        double ratio;
        QFont font;
        QFontMetrics metrics;
        std::int32_t lineHeight;
        std::array<Glyph, 256> glyphs;
        std::vector<std::uint8_t> coverage;  // every ready glyph's cell, one after the other
    };
    static constexpr std::size_t kKeptRatios = 4;

    const Glyph& GlyphOf(unsigned char code);

    QFont baseFont_;                  // as at ratio 1
    std::vector<GlyphStore> stores_;  // the current ratio's first, then the most recent others
};

}  // namespace vantrel
