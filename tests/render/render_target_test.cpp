// The back buffer and the pen / brush bookkeeping on it.
#include <gtest/gtest.h>

#include "geometry/random.h"
#include "canvas/canvas.h"
#include "render/drawing_tools.h"
#include "render/render_target.h"

namespace vantrel {
namespace {

ColorRef PixelOf(const RenderTarget& target, std::int32_t x, std::int32_t y) { return GetPixel(target.dc, x, y); }

TEST(RenderTarget, BackBufferStartsWithBlackToBlueBackgroundAndIsReleasedWhole) {
    const std::int64_t before = LiveObjectCount();
    RenderTarget target;
    CreateBackBuffer(target, 64, 40);
    ASSERT_NE(target.dc, nullptr);
    ASSERT_NE(DcSurface(target.dc), nullptr);
    EXPECT_EQ(DcSurface(target.dc)->width, 64);
    EXPECT_EQ(DcSurface(target.dc)->height, 40);
    EXPECT_EQ(PixelOf(target, 0, 0), 0x00000000u) << "black at the top edge";
    EXPECT_GE(PixelOf(target, 63, 39) >> 16, 255u * 39 / 40) << "one row's step from pure blue at the bottom edge";
    for (std::int32_t y = 0; y < 40; ++y) {
        const ColorRef left = PixelOf(target, 0, y);
        EXPECT_EQ(left & 0x0000FFFFu, 0u) << "no red or green";
        EXPECT_EQ(PixelOf(target, 63, y), left) << "rows are uniform";
        if (y > 0) {
            EXPECT_GT(left, PixelOf(target, 0, y - 1)) << "blue grows downward";
        }
    }
    CreateBackBuffer(target, 32, 20);
    EXPECT_EQ(DcSurface(target.dc)->width, 32) << "created again, the old buffer is released";
    EXPECT_EQ(LiveObjectCount(), before + 1);
    DestroyBackBuffer(target);
    EXPECT_EQ(target.dc, nullptr);
    EXPECT_EQ(target.bitmap, nullptr);
    EXPECT_EQ(LiveObjectCount(), before);
    DestroyBackBuffer(target);
    EXPECT_EQ(LiveObjectCount(), before);
}

TEST(RenderTarget, ImpossibleBackBufferDrawsNothingAndLeaksNothing) {
    const std::int64_t before = LiveObjectCount();
    RenderTarget target;
    CreateBackBuffer(target, 0, 20000);
    EXPECT_EQ(target.bitmap, nullptr);
    SelectPen(target, PS_SOLID, 0x00FFFFFF);
    SelectBrush(target, kBrushSolid, 0x00FFFFFF);
    const Point2 triangle[3] = {{0, 0}, {5, 0}, {0, 5}};
    Polygon(target.dc, triangle, 3);
    EXPECT_EQ(PixelOf(target, 0, 0), CLR_INVALID);
    RestorePenBrush(target);
    DestroyBackBuffer(target);
    EXPECT_EQ(LiveObjectCount(), before);
}

TEST(DrawingTools, SelectAndRestoreLeaveContextAndObjectCountAsTheyWere) {
    RenderTarget target;
    CreateBackBuffer(target, 8, 8);
    const ObjectHandle originalPen = GetCurrentObject(target.dc, ObjectKind::Pen);
    const ObjectHandle originalBrush = GetCurrentObject(target.dc, ObjectKind::Brush);
    const std::int64_t before = LiveObjectCount();
    Random random;
    RandomSeed(random, 1234.5);
    for (int round = 0; round < 300; ++round) {
        const int steps = 1 + static_cast<int>(RandomUniform(random) * 6);
        for (int step = 0; step < steps; ++step) {
            const float u = RandomUniform(random);
            const auto color = static_cast<ColorRef>(RandomUniform(random) * 0xFFFFFF);
            if (u < 0.35f) {
                SelectPen(target, u < 0.2f ? PS_SOLID : PS_NULL, color);
            } else if (u < 0.7f) {
                SelectBrush(target, u < 0.5f ? kBrushHollow : kBrushSolid, color);
            } else {
                RestorePenBrush(target);
            }
        }
        RestorePenBrush(target);
        ASSERT_EQ(LiveObjectCount(), before) << "round " << round;
        ASSERT_EQ(GetCurrentObject(target.dc, ObjectKind::Pen), originalPen);
        ASSERT_EQ(GetCurrentObject(target.dc, ObjectKind::Brush), originalBrush);
    }
    DestroyBackBuffer(target);
}

TEST(DrawingTools, SelectedPenAndBrushDrawAndRestoreTwiceIsHarmless) {
    RenderTarget target;
    CreateBackBuffer(target, 8, 8);
    SelectPen(target, PS_SOLID, 0x000000FF);
    SelectBrush(target, kBrushSolid, 0x0000FF00);
    EXPECT_EQ(target.brushKind, kBrushSolid);
    const Point2 square[4] = {{1, 1}, {6, 1}, {6, 6}, {1, 6}};
    Polygon(target.dc, square, 4);
    EXPECT_EQ(GetPixel(target.dc, 1, 1), 0x000000FFu) << "outline in the pen colour";
    EXPECT_EQ(GetPixel(target.dc, 3, 3), 0x0000FF00u) << "inside in the brush colour";
    SelectBrush(target, kBrushHollow, 0);
    EXPECT_EQ(target.brushKind, kBrushHollow);
    EXPECT_EQ(target.brush, GetStockObject(NULL_BRUSH));
    RestorePenBrush(target);
    const RenderTarget afterFirst = target;
    RestorePenBrush(target);
    EXPECT_EQ(target.pen, nullptr);
    EXPECT_EQ(target.brush, nullptr);
    EXPECT_EQ(target.previousPen, afterFirst.previousPen);
    EXPECT_EQ(GetCurrentObject(target.dc, ObjectKind::Pen), GetStockObject(BLACK_PEN));
    DestroyBackBuffer(target);
    // A record without a context: nothing is created, nothing changes.
    RenderTarget empty;
    const std::int64_t before = LiveObjectCount();
    SelectPen(empty, PS_SOLID, 0);
    SelectBrush(empty, kBrushSolid, 0);
    RestorePenBrush(empty);
    EXPECT_EQ(empty.pen, nullptr);
    EXPECT_EQ(LiveObjectCount(), before);
}

}  // namespace
}  // namespace vantrel
