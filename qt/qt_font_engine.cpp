#include "qt/qt_font_engine.h"

#include <QFontDatabase>
#include <QImage>
#include <QPainter>
#include <QString>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace vantrel {

QtFontEngine::QtFontEngine() : QtFontEngine(QFontDatabase::systemFont(QFontDatabase::GeneralFont)) {}

QtFontEngine::QtFontEngine(const QFont& font) : baseFont_(font) {
    stores_.reserve(kKeptRatios);
    stores_.emplace_back(baseFont_, 1.0);
}

namespace {

QFont ScaledFont(const QFont& base, double ratio) {
    QFont font = base;
    if (base.pixelSize() > 0) {
        font.setPixelSize(std::max(1, static_cast<int>(std::lround(base.pixelSize() * ratio))));
    } else {
        font.setPointSizeF(base.pointSizeF() * ratio);
    }
    return font;
}

}  // namespace

QtFontEngine::GlyphStore::GlyphStore(const QFont& base, double ratio)
    : ratio(ratio),
      font(ScaledFont(base, ratio)),
      metrics(font),
      lineHeight(static_cast<std::int32_t>(std::lround(QFontMetrics(base).height() * ratio))) {}

void QtFontEngine::SetPixelRatio(double ratio) {
    if (ratio == stores_.front().ratio || !(ratio > 0)) return;
    auto kept = std::find_if(stores_.begin(), stores_.end(), [ratio](const GlyphStore& store) { return store.ratio == ratio; });
    if (kept == stores_.end()) {
        if (stores_.size() < kKeptRatios) {
            stores_.emplace_back(baseFont_, ratio);
        } else {
            // The least recent store takes the new ratio; its coverage keeps its memory.
            std::vector<std::uint8_t> coverage = std::move(stores_.back().coverage);
            coverage.clear();
            stores_.back() = GlyphStore(baseFont_, ratio);
            stores_.back().coverage = std::move(coverage);
        }
        kept = stores_.end() - 1;
    }
    std::rotate(stores_.begin(), kept, kept + 1);
}

const QtFontEngine::Glyph& QtFontEngine::GlyphOf(unsigned char code) {
    GlyphStore& store = stores_.front();
    Glyph& glyph = store.glyphs[code];
    if (glyph.ready) return glyph;
    glyph.ready = true;
    // Latin-1 bytes are the first 256 code points.
    const QChar character(static_cast<char16_t>(code));
    glyph.advance = std::max(0, store.metrics.horizontalAdvance(character));
    // The advance box plus whatever the ink overhangs it (slants, negative bearings), with a
    // pixel of room for antialiasing on every side.
    const QRect cell = QRect(0, 0, glyph.advance, store.metrics.height())
                           .united(store.metrics.boundingRect(character).translated(0, store.metrics.ascent()))
                           .adjusted(-1, -1, 1, 1);
    QImage image(cell.width(), cell.height(), QImage::Format_Alpha8);
    if (image.isNull()) return glyph;  // an empty cell: the glyph draws nothing
    image.fill(0);
    {
        QPainter painter(&image);
        painter.setFont(store.font);
        painter.setPen(Qt::black);  // any opaque colour: only the alpha channel is kept
        painter.drawText(QPointF(-cell.left(), store.metrics.ascent() - cell.top()), QString(character));
    }
    glyph.left = cell.left();
    glyph.top = cell.top();
    glyph.width = cell.width();
    glyph.height = cell.height();
    glyph.offset = store.coverage.size();
    // Image rows are padded to four bytes; the store's rows are exactly the cell's width.
    const auto rowBytes = static_cast<std::size_t>(glyph.width);
    store.coverage.resize(glyph.offset + rowBytes * static_cast<std::size_t>(glyph.height));
    for (int row = 0; row < glyph.height; ++row) {
        std::memcpy(store.coverage.data() + glyph.offset + static_cast<std::size_t>(row) * rowBytes,
                    image.constScanLine(row), rowBytes);
    }
    return glyph;
}

void QtFontEngine::Measure(const char* text, std::int32_t length, TextSize& out) {
    std::int64_t width = 0;
    for (std::int32_t i = 0; text != nullptr && i < length; ++i) {
        width += GlyphOf(static_cast<unsigned char>(text[i])).advance;
    }
    out.width = static_cast<std::int32_t>(std::min<std::int64_t>(width, INT32_MAX));
    out.height = stores_.front().lineHeight;
}

void QtFontEngine::Render(const char* text, std::int32_t length, std::int32_t x, std::int32_t y, CoverageSink& sink) {
    if (text == nullptr || length <= 0) return;
    // Overlapping cells blend one over the other, as a painter draws a string glyph by glyph.
    std::int64_t pen = x;
    for (std::int32_t i = 0; i < length; ++i) {
        const Glyph& glyph = GlyphOf(static_cast<unsigned char>(text[i]));
        EmitGlyphCell(sink, pen + glyph.left, std::int64_t{y} + glyph.top, glyph.width, glyph.height,
                      stores_.front().coverage.data() + glyph.offset);
        pen += glyph.advance;
    }
}

}  // namespace vantrel
