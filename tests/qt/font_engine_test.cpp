// The Qt font engine drawing through the canvas, headless.
#include <cmath>

#include <gtest/gtest.h>

#include "canvas/canvas.h"
#include "qt/qt_font_engine.h"
#include "qt_test_application.h"

namespace vantrel {
namespace {

// A context over a fresh bitmap using the Qt font; background filled with one colour.
struct TextCanvas {
    TextCanvas(std::int32_t width, std::int32_t height, ColorRef background) : width(width), height(height) {
        SelectObject(dc, bitmap);
        SetFontEngine(dc, &engine);
        SelectObject(dc, GetStockObject(ANSI_VAR_FONT));
        for (std::int32_t y = 0; y < height; ++y) {
            for (std::int32_t x = 0; x < width; ++x) {
                SetPixel(dc, x, y, background);
            }
        }
    }
    ~TextCanvas() {
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
    // Pixels differing from the background colour, and whether each is a mix of the two colours.
    std::int32_t Changed(ColorRef background, ColorRef text, bool& onlyMixes) const {
        std::int32_t changed = 0;
        onlyMixes = true;
        for (std::int32_t y = 0; y < height; ++y) {
            for (std::int32_t x = 0; x < width; ++x) {
                const ColorRef pixel = GetPixel(dc, x, y);
                if (pixel == background) {
                    continue;
                }
                ++changed;
                for (int shift = 0; shift <= 16; shift += 8) {
                    const auto channel = [shift](ColorRef c) { return static_cast<int>((c >> shift) & 0xFF); };
                    const int lo = std::min(channel(background), channel(text));
                    const int hi = std::max(channel(background), channel(text));
                    onlyMixes = onlyMixes && channel(pixel) >= lo && channel(pixel) <= hi;
                }
            }
        }
        return changed;
    }

    QApplication& application = TestApplication();
    QtFontEngine engine;
    std::int32_t width, height;
    DcHandle dc = CreateCompatibleDC(nullptr);
    ObjectHandle bitmap = CreateBitmap(width, height);
};

TEST(QtFontEngine, MeasuresProportionallyWithOneLineHeight) {
    TextCanvas canvas(8, 8, 0);
    TextSize narrow, wide, empty;
    ASSERT_TRUE(GetTextExtentPoint32(canvas.dc, "iiii", 4, narrow));
    ASSERT_TRUE(GetTextExtentPoint32(canvas.dc, "WWWW", 4, wide));
    ASSERT_TRUE(GetTextExtentPoint32(canvas.dc, "", 0, empty));
    EXPECT_GT(narrow.height, 5);
    EXPECT_EQ(wide.height, narrow.height);
    EXPECT_EQ(empty.height, narrow.height) << "the line height even for no text";
    EXPECT_EQ(empty.width, 0);
    EXPECT_GT(wide.width, narrow.width) << "a proportional font";
}

// At a pixel ratio the text is drawn from a font that many times larger, not enlarged: few of
// its columns and rows repeat the one before (enlarging by 1.5 repeats every third, by 2 every
// other one), and lines stand round(ratio x L) apart.
TEST(QtFontEngine, ScaledTextIsDrawnFinerNotEnlarged) {
    TextSize plain;
    for (const double ratio : {1.0, 1.5, 2.0}) {
        TextCanvas canvas(400, 80, 0);
        canvas.engine.SetPixelRatio(ratio);
        TextSize size;
        ASSERT_TRUE(GetTextExtentPoint32(canvas.dc, "Longitude: 17 Radius: 200", 25, size));
        if (ratio == 1.0) plain = size;
        EXPECT_EQ(size.height, std::lround(plain.height * ratio)) << ratio;
        EXPECT_NEAR(size.width, plain.width * ratio, 25 * ratio) << ratio;
        SetTextColor(canvas.dc, 0x00FFFFFF);
        SetBkMode(canvas.dc, TRANSPARENT);
        TextOut(canvas.dc, 0, 0, "Longitude: 17 Radius: 200", 25);
        std::int32_t lines = 0, repeats = 0;
        for (const bool columns : {true, false}) {
            for (std::int32_t i = 1; i < (columns ? size.width : size.height); ++i) {
                bool ink = false, same = true;
                for (std::int32_t j = 0; j < (columns ? size.height : size.width); ++j) {
                    const ColorRef a = columns ? GetPixel(canvas.dc, i, j) : GetPixel(canvas.dc, j, i);
                    ink = ink || a != 0;
                    same = same && a == (columns ? GetPixel(canvas.dc, i - 1, j) : GetPixel(canvas.dc, j, i - 1));
                }
                lines += ink;
                repeats += ink && same;
            }
        }
        EXPECT_LT(static_cast<double>(repeats) / lines, 0.2) << ratio;
    }
}

TEST(QtFontEngine, TransparentTextOnlyMixesTextColourIntoItsBox) {
    constexpr ColorRef kBackground = 0x00402010;
    constexpr ColorRef kText = 0x0000FFFF;
    TextCanvas canvas(120, 40, kBackground);
    SetTextColor(canvas.dc, kText);
    SetBkMode(canvas.dc, TRANSPARENT);
    TextSize box;
    GetTextExtentPoint32(canvas.dc, "Longitude: 45", 13, box);
    ASSERT_TRUE(TextOut(canvas.dc, 10, 5, "Longitude: 45", 13));
    bool onlyMixes = false;
    const std::int32_t changed = canvas.Changed(kBackground, kText, onlyMixes);
    EXPECT_GT(changed, 20);
    EXPECT_LT(changed, box.width * box.height / 2) << "background shows between the letters";
    EXPECT_TRUE(onlyMixes);
    EXPECT_EQ(GetPixel(canvas.dc, 9, 5), kBackground);
    EXPECT_EQ(GetPixel(canvas.dc, 10, 5 + box.height + 1), kBackground);
}

TEST(QtFontEngine, OpaqueModeFillsTheBoxAndClippedTextStaysInside) {
    constexpr ColorRef kBackground = 0x00000000;
    constexpr ColorRef kBox = 0x00FF0000;
    TextCanvas canvas(30, 40, kBackground);
    SetTextColor(canvas.dc, 0x00FFFFFF);
    SetBkColor(canvas.dc, kBox);
    SetBkMode(canvas.dc, OPAQUE);
    TextSize box;
    GetTextExtentPoint32(canvas.dc, "Wide text that runs off", 23, box);
    ASSERT_GT(box.width, 33);
    TextOut(canvas.dc, -3, -2, "Wide text that runs off", 23);
    // Inside the box every pixel is the box colour or a mix of it with the text colour.
    std::int32_t textPixels = 0;
    for (std::int32_t y = 0; y < 40; ++y) {
        for (std::int32_t x = 0; x < 30; ++x) {
            const ColorRef pixel = GetPixel(canvas.dc, x, y);
            if (y >= box.height - 2) {
                ASSERT_EQ(pixel, kBackground) << x << ", " << y << " lies below the box";
                continue;
            }
            ASSERT_EQ(pixel & 0x00FF0000u, 0x00FF0000u) << x << ", " << y;
            ASSERT_EQ(pixel & 0xFFu, (pixel >> 8) & 0xFFu) << "red and green rise together toward white";
            textPixels += pixel != kBox;
        }
    }
    EXPECT_GT(textPixels, 10);
    // Far away in every direction: nothing drawn, nothing broken.
    TextCanvas other(16, 16, kBackground);
    SetTextColor(other.dc, 0x00FFFFFF);
    SetBkMode(other.dc, TRANSPARENT);
    for (const Point2 at : {Point2{-2147483647 - 1, 0}, Point2{2147483647, 0}, Point2{0, 2147483647}, Point2{0, -2147483647 - 1}}) {
        TextOut(other.dc, at.x, at.y, "Far", 3);
    }
    bool onlyMixes = false;
    EXPECT_EQ(other.Changed(kBackground, 0x00FFFFFF, onlyMixes), 0);
}

}  // namespace
}  // namespace vantrel
