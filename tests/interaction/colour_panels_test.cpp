#include <gtest/gtest.h>

#include <vector>

#include "interaction/colour_panels.h"
#include "canvas/drawing.h"
#include "canvas/gdi_objects.h"
#include "render/gradients.h"

namespace vantrel {
namespace {

// A panel's own device context over a bitmap of its size.
struct PanelCanvas {
    PanelSize size;
    DcHandle dc = CreateCompatibleDC(nullptr);
    ObjectHandle bitmap;
    ObjectHandle previous;

    PanelCanvas(std::int32_t width, std::int32_t height)
        : size{width, height}, bitmap(CreateBitmap(width, height)), previous(SelectObject(dc, bitmap)) {}
    ~PanelCanvas() {
        SelectObject(dc, previous);
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
    PanelCanvas(const PanelCanvas&) = delete;
    PanelCanvas& operator=(const PanelCanvas&) = delete;

    std::vector<ColorRef> Row(std::int32_t y) const {
        std::vector<ColorRef> row;
        for (std::int32_t x = 0; x < size.width; ++x) row.push_back(GetPixel(dc, x, y));
        return row;
    }
};

TEST(Palette, LeftPressAndDragPickTheColourShownRightPressOnlySetsTheCursor) {
    PanelCanvas palette(16, 140);
    DrawPalettePanel(palette.dc, palette.size);
    InteractionState state;

    InputResponse response = PaletteMouse(palette.dc, state, kMouseLeft, 8, 30);
    EXPECT_EQ(response.cursor, CursorShape::CrossHair);
    EXPECT_TRUE(response.repaintShine);
    EXPECT_EQ(state.paintColor, GetPixel(palette.dc, 8, 30));
    EXPECT_NE(state.paintColor, 0x00000000u);
    const ColorRef first = state.paintColor;

    PaletteMouse(palette.dc, state, kMouseLeft, 8, 75);  // dragging keeps picking
    EXPECT_EQ(state.paintColor, GetPixel(palette.dc, 8, 75));
    EXPECT_NE(state.paintColor, first);

    const ColorRef picked = state.paintColor;
    for (std::int32_t keys : {kMouseRight, 0}) {
        response = PaletteMouse(palette.dc, state, keys, 8, 130);
        EXPECT_EQ(response.cursor, CursorShape::CrossHair);
        EXPECT_FALSE(response.repaintShine);
        EXPECT_EQ(state.paintColor, picked);
    }

    // Off the surface the read fails: the colour stays, the strip is still redrawn.
    response = PaletteMouse(palette.dc, state, kMouseLeft, 8, 140);
    EXPECT_EQ(state.paintColor, picked);
    EXPECT_TRUE(response.repaintShine);
}

TEST(ShineStrip, DragFromTheCentreOutwardRaisesTheShineToOneAndNoFurther) {
    const PanelSize strip{200, 20};
    InteractionState state;
    InputResponse response = ShineMouse(strip, state, kMouseLeft, 100);
    EXPECT_EQ(response.cursor, CursorShape::SizeWestEast);
    EXPECT_TRUE(response.repaintShine);
    EXPECT_EQ(state.paintShine, 0.0f);
    ShineMouse(strip, state, kMouseLeft, 150);
    EXPECT_EQ(state.paintShine, 0.5f);
    ShineMouse(strip, state, kMouseLeft, 50);  // the same distance to the left
    EXPECT_EQ(state.paintShine, 0.5f);
    ShineMouse(strip, state, kMouseLeft, 199);
    EXPECT_EQ(state.paintShine, 0.99f);
    ShineMouse(strip, state, kMouseLeft, 200);
    EXPECT_EQ(state.paintShine, 1.0f);
    ShineMouse(strip, state, kMouseLeft, 320);
    EXPECT_EQ(state.paintShine, 1.0f);

    for (std::int32_t keys : {0, kMouseRight}) {
        response = ShineMouse(strip, state, keys, 100);
        EXPECT_EQ(response.cursor, CursorShape::SizeWestEast);
        EXPECT_FALSE(response.repaintShine);
        EXPECT_EQ(state.paintShine, 1.0f);
    }
    // A strip laid out with no width yet sets nothing.
    EXPECT_FALSE(ShineMouse(PanelSize{0, 20}, state, kMouseLeft, 5).repaintShine);
    EXPECT_EQ(state.paintShine, 1.0f);
}

struct ShinePanel : ::testing::Test {
    PanelCanvas strip{200, 20};
    PanelCanvas ramp{200, 20};
    InteractionState state;

    void SetUp() override {
        state.paintColor = 0x0000C0FFu;  // orange
        ThreeStopBar(ramp.dc, 0, 0, 200, 20, 1, state.paintColor);
    }
};

TEST_F(ShinePanel, MarkersSitMirroredAboutTheCentreOverTheRamp) {
    SetROP2(strip.dc, R2_XORPEN);
    const ObjectHandle pen = GetCurrentObject(strip.dc, ObjectKind::Pen);
    const std::int64_t live = LiveObjectCount();
    state.paintShine = 1;
    DrawShinePanel(strip.dc, strip.size, state);
    EXPECT_EQ(GetROP2(strip.dc), R2_XORPEN);  // the context is left as it was found
    EXPECT_EQ(GetCurrentObject(strip.dc, ObjectKind::Pen), pen);
    EXPECT_EQ(LiveObjectCount(), live);
    // Far from both markers the strip is the ramp of the paint colour.
    EXPECT_EQ(strip.Row(5)[60], ramp.Row(5)[60]);
    EXPECT_EQ(strip.Row(15)[100], ramp.Row(15)[100]);
    EXPECT_EQ(strip.Row(10)[100], 0x0000C0FFu);  // the paint colour itself at the centre
    // Inside a marker the ramp shows inverted, its outline is black.
    EXPECT_EQ(strip.Row(15)[197], ~ramp.Row(15)[197] & 0x00FFFFFFu);
    EXPECT_EQ(strip.Row(15)[3], ~ramp.Row(15)[3] & 0x00FFFFFFu);
    EXPECT_EQ(strip.Row(19)[190], 0x00000000u);

    // With no shine the two markers meet at the centre, where the second undoes the first
    // inside and only the black outline remains.
    state.paintShine = 0;
    DrawShinePanel(strip.dc, strip.size, state);
    EXPECT_EQ(strip.Row(15)[197], ramp.Row(15)[197]);
    EXPECT_EQ(strip.Row(15)[100], ramp.Row(15)[100]);
    EXPECT_EQ(strip.Row(19)[90], 0x00000000u);
}

}  // namespace
}  // namespace vantrel
