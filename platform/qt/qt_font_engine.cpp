#include "platform/qt/qt_font_engine.h"

#include <QFontDatabase>
#include <QPainter>
#include <QString>
#include <algorithm>

namespace vantrel {
namespace {

QString TextFromBytes(const char* text, std::int32_t length) {
    return text == nullptr || length <= 0 ? QString() : QString::fromLatin1(text, length);
}

}  // namespace

QtFontEngine::QtFontEngine() : QtFontEngine(QFontDatabase::systemFont(QFontDatabase::GeneralFont)) {}

QtFontEngine::QtFontEngine(const QFont& font) : font_(font), metrics_(font) {}

void QtFontEngine::Measure(const char* text, std::int32_t length, TextSize& out) {
    const qint64 width = metrics_.horizontalAdvance(TextFromBytes(text, length));
    out.width = static_cast<std::int32_t>(std::clamp<qint64>(width, 0, INT32_MAX));
    out.height = metrics_.height();
}

void QtFontEngine::Render(const char* text, std::int32_t length, std::int32_t x, std::int32_t y, CoverageSink& sink) {
    const QString string = TextFromBytes(text, length);
    if (string.isEmpty()) {
        return;
    }
    // The area the glyphs may touch, relative to the text's top-left corner: the measured box
    // plus whatever overhangs it (italic slants, negative bearings).
    const QRect box = QRect(0, 0, metrics_.horizontalAdvance(string), metrics_.height())
                          .united(metrics_.boundingRect(string).translated(0, metrics_.ascent()))
                          .adjusted(-1, -1, 1, 1);
    // Cut to what the sink can show, in 64 bits so that no position wraps.
    std::int32_t boundsX0 = 0, boundsY0 = 0, boundsX1 = 0, boundsY1 = 0;
    sink.Bounds(boundsX0, boundsY0, boundsX1, boundsY1);
    const qint64 left = std::max<qint64>(qint64{x} + box.left(), boundsX0);
    const qint64 top = std::max<qint64>(qint64{y} + box.top(), boundsY0);
    const qint64 right = std::min<qint64>(qint64{x} + box.left() + box.width(), boundsX1);
    const qint64 bottom = std::min<qint64>(qint64{y} + box.top() + box.height(), boundsY1);
    if (left >= right || top >= bottom) {
        return;
    }
    const int width = static_cast<int>(right - left);
    const int height = static_cast<int>(bottom - top);
    if (coverage_.width() < width || coverage_.height() < height) {
        coverage_ = QImage(std::max(width, coverage_.width()), std::max(height, coverage_.height()), QImage::Format_Alpha8);
        if (coverage_.isNull()) {
            return;
        }
    }
    coverage_.fill(0);
    {
        QPainter painter(&coverage_);
        painter.setFont(font_);
        painter.setPen(Qt::black);  // any opaque colour: only the alpha channel is kept
        painter.setClipRect(0, 0, width, height);
        // The baseline origin, relative to the visible area's top-left pixel.
        painter.drawText(QPointF(static_cast<double>(qint64{x} - left), static_cast<double>(qint64{y} - top + metrics_.ascent())),
                         string);
    }
    for (int row = 0; row < height; ++row) {
        sink.Row(static_cast<std::int32_t>(left), static_cast<std::int32_t>(top + row), coverage_.constScanLine(row), width);
    }
}

}  // namespace vantrel
