// Text through the font-engine interface: colour, background mode, clipping, measuring.
#include <gtest/gtest.h>

#include "canvas_fixture.h"

namespace vantrel {
namespace {

using test::CanvasFixture;

// Every character is a solid 3 x 4 block with half-covered rims, 4 pixels apart.
class BlockFont final : public FontEngine {
public:
    void Measure(const char*, std::int32_t length, TextSize& out) override { out = TextSize{4 * length, 5}; }
    void Render(const char*, std::int32_t length, std::int32_t x, std::int32_t y, CoverageSink& sink) override {
        const std::uint8_t row[4] = {255, 255, 128, 0};
        for (std::int32_t i = 0; i < length; ++i) {
            for (std::int32_t r = 0; r < 4; ++r) {
                sink.Row(x + 4 * i, y + r, row, 4);
            }
        }
    }
};

TEST(CanvasText, TransparentTextBlendsCoverageInTextColour) {
    CanvasFixture canvas(12, 6);
    BlockFont font;
    SetFontEngine(canvas.dc, &font);
    SetPixel(canvas.dc, 3, 0, 0x000000FF);
    SetTextColor(canvas.dc, 0x00FFFFFF);
    SetBkMode(canvas.dc, TRANSPARENT);
    ASSERT_TRUE(TextOut(canvas.dc, 1, 0, "ab", 2));
    EXPECT_EQ(canvas.At(1, 0), 0xFFFFFFu);
    EXPECT_EQ(canvas.At(3, 0), 0xFF8080u) << "half coverage over red";
    EXPECT_EQ(canvas.At(4, 0), 0u) << "transparent background between letters";
    EXPECT_EQ(canvas.At(5, 3), 0xFFFFFFu);
    EXPECT_EQ(canvas.At(5, 4), 0u);
    TextSize size;
    ASSERT_TRUE(GetTextExtentPoint32(canvas.dc, "abc", 3, size));
    EXPECT_EQ(size.width, 12);
    EXPECT_EQ(size.height, 5);
    EXPECT_FALSE(GetTextExtentPoint32(canvas.dc, "abc", -1, size));
}

TEST(CanvasText, OpaqueBackgroundFillsTheMeasuredBoxAndRopDoesNotApply) {
    CanvasFixture canvas(12, 8);
    BlockFont font;
    const ObjectHandle fontObject = CreateFontObject(&font);
    SelectObject(canvas.dc, fontObject);
    SetBkColor(canvas.dc, 0x00FF0000);
    SetTextColor(canvas.dc, 0x0000FF00);
    SetROP2(canvas.dc, R2_NOT);
    TextOut(canvas.dc, 2, 1, "a", 1);
    EXPECT_EQ(canvas.At(2, 1), 0x00FF00u);
    EXPECT_EQ(canvas.At(5, 5), 0x0000FFu) << "box is the measured 4 x 5";
    EXPECT_EQ(canvas.At(6, 1), 0u);
    EXPECT_EQ(canvas.At(2, 6), 0u);
    SelectObject(canvas.dc, GetStockObject(SYSTEM_FONT));
    EXPECT_TRUE(DeleteObject(fontObject));
}

TEST(CanvasText, BuiltinFontDrawsInsideTheSurfaceOnly) {
    CanvasFixture canvas(20, 12);
    SetTextColor(canvas.dc, 0x00FFFFFF);
    SetBkMode(canvas.dc, TRANSPARENT);
    TextSize size;
    GetTextExtentPoint32(canvas.dc, "Hi", 2, size);
    EXPECT_EQ(size.width, 12);
    EXPECT_EQ(size.height, 10);
    TextOut(canvas.dc, 0, 0, "Hi", 2);
    std::int32_t lit = 0;
    for (std::uint32_t pixel : canvas.Pixels()) {
        lit += pixel != 0;
    }
    EXPECT_GT(lit, 10);
    // Far outside, partly outside, and with every byte value: nothing breaks.
    char all[256];
    for (int c = 0; c < 256; ++c) {
        all[c] = static_cast<char>(c);
    }
    TextOut(canvas.dc, -2147483647 - 1, 2147483647, all, 256);
    TextOut(canvas.dc, 2147483600, -5, all, 256);
    TextOut(canvas.dc, -7, 9, all, 256);
    EXPECT_FALSE(TextOut(canvas.dc, 0, 0, nullptr, 3));
}

}  // namespace
}  // namespace vantrel
