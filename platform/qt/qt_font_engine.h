#pragma once
// Text for the canvas in Qt's default proportional UI font, the stand-in for the stock
// variable-pitch font. Needs a QGuiApplication.
#include <QFont>
#include <QFontMetrics>
#include <QImage>

#include "platform/canvas/font_engine.h"

namespace vantrel {

class QtFontEngine final : public FontEngine {
public:
    QtFontEngine();  // the system's general UI font
    explicit QtFontEngine(const QFont& font);

    // Text bytes are Latin-1; the height is the font's line height.
    void Measure(const char* text, std::int32_t length, TextSize& out) override;
    // Antialiased glyph coverage, rendered only where the sink can show it.
    void Render(const char* text, std::int32_t length, std::int32_t x, std::int32_t y, CoverageSink& sink) override;

private:
    QFont font_;
    QFontMetrics metrics_;
    QImage coverage_;  // reused between calls while large enough
};

}  // namespace vantrel
