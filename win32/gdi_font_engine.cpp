#include "win32/gdi_font_engine.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace vantrel {
namespace {

LOGFONTA SystemMessageFont() {
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof(metrics);
    LOGFONTA font{};
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
        font = metrics.lfMessageFont;
        // The metrics come at the system's DPI; the engine keeps the font as at 96.
        const UINT dpi = GetDpiForSystem();
        if (dpi != 0 && dpi != USER_DEFAULT_SCREEN_DPI) font.lfHeight = MulDiv(font.lfHeight, USER_DEFAULT_SCREEN_DPI, static_cast<int>(dpi));
    } else {
        font.lfHeight = -12;  // 9 points at 96 DPI, the usual message font
        font.lfWeight = FW_NORMAL;
        font.lfCharSet = DEFAULT_CHARSET;
        lstrcpyA(font.lfFaceName, "Segoe UI");
    }
    return font;
}

}  // namespace

GdiFontEngine::GdiFontEngine() : GdiFontEngine(SystemMessageFont()) {}

GdiFontEngine::GdiFontEngine(const LOGFONTA& font) : base_(font), dc_(CreateCompatibleDC(nullptr)) {
    stores_.reserve(kKeptRatios);
    stores_.emplace_back();
    OpenStore(stores_.front(), 1.0);
}

GdiFontEngine::~GdiFontEngine() {
    for (GlyphStore& store : stores_) {
        if (store.font) DeleteObject(store.font);
    }
    if (dc_) DeleteDC(dc_);
}

void GdiFontEngine::OpenStore(GlyphStore& store, double ratio) {
    if (store.font) DeleteObject(store.font);
    store = GlyphStore{};
    store.ratio = ratio;
    LOGFONTA scaled = base_;
    scaled.lfHeight = static_cast<LONG>(std::lround(base_.lfHeight * ratio));
    if (scaled.lfHeight == 0) scaled.lfHeight = base_.lfHeight < 0 ? -1 : 1;
    scaled.lfWidth = static_cast<LONG>(std::lround(base_.lfWidth * ratio));
    store.font = CreateFontIndirectA(&scaled);
    TEXTMETRICA metrics{};
    if (dc_ && store.font) {
        const HGDIOBJ previous = SelectObject(dc_, store.font);
        GetTextMetricsA(dc_, &metrics);
        SelectObject(dc_, previous);
    }
    store.lineHeight = metrics.tmHeight;
    store.overhang = metrics.tmOverhang + 1;  // a pixel of room for antialiasing
}

void GdiFontEngine::SetPixelRatio(double ratio) {
    if (!(ratio > 0) || ratio == stores_.front().ratio) return;
    auto kept = std::find_if(stores_.begin(), stores_.end(), [ratio](const GlyphStore& store) { return store.ratio == ratio; });
    if (kept == stores_.end()) {
        if (stores_.size() < kKeptRatios) stores_.emplace_back();
        kept = stores_.end() - 1;  // the least recent store takes the new ratio
        OpenStore(*kept, ratio);
    }
    std::rotate(stores_.begin(), kept, kept + 1);
}

const GdiFontEngine::Glyph& GdiFontEngine::GlyphOf(unsigned char code) {
    GlyphStore& store = stores_.front();
    Glyph& glyph = store.glyphs[code];
    if (glyph.ready) return glyph;
    glyph.ready = true;
    if (!dc_ || !store.font) return glyph;
    const HGDIOBJ previousFont = SelectObject(dc_, store.font);
    const char character = static_cast<char>(code);
    SIZE extent{};
    GetTextExtentPoint32A(dc_, &character, 1, &extent);
    glyph.advance = std::max<LONG>(0, extent.cx);
    // Ink that overhangs the advance box (negative bearings, italics) stays inside the cell.
    ABC abc{};
    std::int32_t inkLeft = 0;
    std::int32_t inkRight = glyph.advance;
    if (GetCharABCWidthsA(dc_, code, code, &abc)) {
        inkLeft = std::min(0, abc.abcA);
        inkRight = std::max(glyph.advance, abc.abcA + static_cast<std::int32_t>(abc.abcB));
    }
    glyph.left = inkLeft - store.overhang;
    glyph.width = inkRight + store.overhang - glyph.left;
    glyph.height = store.lineHeight;
    if (glyph.width <= 0 || glyph.height <= 0) {
        SelectObject(dc_, previousFont);
        return glyph;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = glyph.width;
    info.bmiHeader.biHeight = -glyph.height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HBITMAP bitmap = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap || !bits) {
        glyph.width = glyph.height = 0;
        SelectObject(dc_, previousFont);
        return glyph;
    }
    const HGDIOBJ previousBitmap = SelectObject(dc_, bitmap);
    const RECT all{0, 0, glyph.width, glyph.height};
    FillRect(dc_, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    SetBkMode(dc_, TRANSPARENT);
    SetTextColor(dc_, RGB(255, 255, 255));
    TextOutA(dc_, -glyph.left, 0, &character, 1);
    GdiFlush();
    glyph.offset = store.coverage.size();
    const auto count = static_cast<std::size_t>(glyph.width) * static_cast<std::size_t>(glyph.height);
    store.coverage.resize(glyph.offset + count);
    // White on black: each channel is the coverage; with subpixel smoothing the three differ
    // and their mean is what one colour per pixel can show.
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t p = pixels[i];
        store.coverage[glyph.offset + i] = static_cast<std::uint8_t>(((p & 0xFF) + ((p >> 8) & 0xFF) + ((p >> 16) & 0xFF) + 1) / 3);
    }
    SelectObject(dc_, previousBitmap);
    SelectObject(dc_, previousFont);
    DeleteObject(bitmap);
    return glyph;
}

void GdiFontEngine::Measure(const char* text, std::int32_t length, TextSize& out) {
    std::int64_t width = 0;
    for (std::int32_t i = 0; text != nullptr && i < length; ++i) width += GlyphOf(static_cast<unsigned char>(text[i])).advance;
    out.width = static_cast<std::int32_t>(std::min<std::int64_t>(width, INT32_MAX));
    out.height = stores_.front().lineHeight;
}

void GdiFontEngine::Render(const char* text, std::int32_t length, std::int32_t x, std::int32_t y, CoverageSink& sink) {
    if (text == nullptr || length <= 0) return;
    // Overlapping cells blend one over the other, as a painter draws a string glyph by glyph.
    std::int64_t pen = x;
    for (std::int32_t i = 0; i < length; ++i) {
        const Glyph& glyph = GlyphOf(static_cast<unsigned char>(text[i]));
        EmitGlyphCell(sink, pen + glyph.left, y, glyph.width, glyph.height,
                      stores_.front().coverage.data() + glyph.offset);
        pen += glyph.advance;
    }
}

}  // namespace vantrel
