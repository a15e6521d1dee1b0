#pragma once
// Text for the canvas in the system's message font as GDI draws it, antialiased the way the
// system's font smoothing settings say. Glyphs are drawn once per pixel ratio into a DIB
// section and kept as coverage, so text that was seen before costs no GDI call.
#include <windows.h>

#include <array>
#include <cstdint>
#include <vector>

#include "canvas/font_engine.h"

namespace vantrel {

class GdiFontEngine final : public FontEngine {
public:
    // The system's message font (what dialogs use) at 96 DPI.
    GdiFontEngine();
    // A font described at 96 DPI; its height is scaled for each pixel ratio.
    explicit GdiFontEngine(const LOGFONTA& font);
    ~GdiFontEngine() override;
    GdiFontEngine(const GdiFontEngine&) = delete;
    GdiFontEngine& operator=(const GdiFontEngine&) = delete;

    // Draws at ratio times the font's size from now on; the glyphs of the last few ratios are kept.
    void SetPixelRatio(double ratio);

    // Text bytes are the ANSI code page; the width is the sum of the glyphs' advances, the
    // height the font's line height.
    void Measure(const char* text, std::int32_t length, TextSize& out) override;
    void Render(const char* text, std::int32_t length, std::int32_t x, std::int32_t y, CoverageSink& sink) override;

private:
    struct Glyph {
        bool ready = false;
        std::int32_t advance = 0;
        std::int32_t left = 0;  // the cell, relative to the pen position on the text's top edge
        std::int32_t width = 0;
        std::int32_t height = 0;
        std::size_t offset = 0;  // first coverage byte, rows of width bytes
    };
    struct GlyphStore {
        double ratio = 1;
        HFONT font = nullptr;
        std::int32_t lineHeight = 0;
        std::int32_t overhang = 0;  // pixels the ink may reach beyond the advance on either side
        std::array<Glyph, 256> glyphs{};
        std::vector<std::uint8_t> coverage;
    };
    static constexpr std::size_t kKeptRatios = 4;

    void OpenStore(GlyphStore& store, double ratio);
    const Glyph& GlyphOf(unsigned char code);

    LOGFONTA base_{};
    HDC dc_ = nullptr;  // memory DC the glyphs are drawn in
    std::vector<GlyphStore> stores_;  // the current ratio's first
};

}  // namespace vantrel
