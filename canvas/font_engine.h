#pragma once
// The interface text drawing goes through. An engine measures and draws one line of 8-bit text
// with its top-left corner at a point; the canvas clips and colours, the engine supplies glyph
// coverage through CoverageSink.
#include <climits>
#include <cstdint>

namespace vantrel {

struct TextSize {
    std::int32_t width = 0;   // pixels
    std::int32_t height = 0;  // pixels: the line height
};

// Receives one row of glyph coverage (0 = none, 255 = full) for the pixels
// x .. x + count - 1 of row y of the target surface. Positions may lie anywhere: the sink clips.
class CoverageSink {
public:
    virtual void Row(std::int32_t x, std::int32_t y, const std::uint8_t* coverage, std::int32_t count) = 0;
    // The rows y0 .. y1 - 1 and columns x0 .. x1 - 1 that can show anything; engines may skip the rest.
    virtual void Bounds(std::int32_t& x0, std::int32_t& y0, std::int32_t& x1, std::int32_t& y1) const {
        x0 = y0 = INT32_MIN;
        x1 = y1 = INT32_MAX;
    }

protected:
    ~CoverageSink() = default;
};

class FontEngine {
public:
    virtual ~FontEngine() = default;
    // Size of the text's box; the height is the line height even for empty text.
    virtual void Measure(const char* text, std::int32_t length, TextSize& out) = 0;
    // Coverage of the text drawn with its box's top-left corner at (x, y).
    virtual void Render(const char* text, std::int32_t length, std::int32_t x, std::int32_t y, CoverageSink& sink) = 0;
};

// Hands a glyph's cell of coverage (rows of width bytes, top-left corner at left, top) to the
// sink row by row, only the part within the sink's bounds: what engines with cached cells share.
// 64-bit corners, so no pen position or cell edge wraps.
void EmitGlyphCell(CoverageSink& sink, std::int64_t left, std::int64_t top, std::int32_t width, std::int32_t height,
                   const std::uint8_t* cell);

// A small built-in fixed-pitch font (6 x 10 cells, printable ASCII) for programs without a
// window system; the canvas uses it when a device context has no engine of its own.
FontEngine& BuiltinFontEngine();

}  // namespace vantrel
