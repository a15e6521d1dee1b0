// Objects, selection, state and the calls that need no rasterisation rules.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "canvas_fixture.h"

namespace vantrel {
namespace {

using test::CanvasFixture;

TEST(CanvasObjects, SelectReturnsDisplacedAndDeleteRespectsSelection) {
    const std::int64_t before = LiveObjectCount();
    CanvasFixture canvas(8, 8);
    // A fresh context holds the stock black pen and white brush.
    EXPECT_EQ(GetCurrentObject(canvas.dc, ObjectKind::Pen), GetStockObject(BLACK_PEN));
    EXPECT_EQ(GetCurrentObject(canvas.dc, ObjectKind::Brush), GetStockObject(WHITE_BRUSH));
    const ObjectHandle pen = CreatePen(PS_SOLID, 0, 0x000000FF);
    const ObjectHandle brush = CreateSolidBrush(0x0000FF00);
    EXPECT_EQ(LiveObjectCount(), before + 2 + 1);  // the fixture's bitmap too
    EXPECT_EQ(SelectObject(canvas.dc, pen), GetStockObject(BLACK_PEN));
    EXPECT_EQ(SelectObject(canvas.dc, brush), GetStockObject(WHITE_BRUSH));
    EXPECT_FALSE(DeleteObject(pen)) << "a selected pen stays alive";
    EXPECT_EQ(SelectObject(canvas.dc, GetStockObject(NULL_PEN)), pen);
    EXPECT_TRUE(DeleteObject(pen));
    EXPECT_TRUE(DeleteObject(GetStockObject(NULL_BRUSH))) << "stock objects ignore deletion";
    EXPECT_EQ(ObjectKindOf(GetStockObject(NULL_BRUSH)), ObjectKind::Brush);
    EXPECT_EQ(GetStockObject(3), nullptr);
    EXPECT_EQ(SelectObject(canvas.dc, nullptr), nullptr);
    EXPECT_EQ(GetCurrentObject(canvas.dc, ObjectKind::Brush), brush);
    SelectObject(canvas.dc, GetStockObject(WHITE_BRUSH));
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_FALSE(DeleteObject(nullptr));
    EXPECT_EQ(LiveObjectCount(), before + 1);
}

// Deleted objects leave their storage to later ones: each new object must start afresh, on
// any thread, and nothing may be left over when a thread ends.
TEST(CanvasObjects, ObjectsMadeAfterDeletionsStartAfresh) {
    const std::int64_t before = LiveObjectCount();
    const auto createAndCheck = [] {
        CanvasFixture canvas(4, 4);
        const ObjectHandle nullPen = CreatePen(PS_NULL, 0, 0x00FFFFFF);
        const ObjectHandle bitmap = CreateBitmap(2, 2);
        EXPECT_TRUE(DeleteObject(nullPen));
        EXPECT_TRUE(DeleteObject(bitmap));
        SelectObject(canvas.dc, GetStockObject(NULL_PEN));
        std::vector<ObjectHandle> brushes;
        for (std::uint32_t i = 0; i < 40; ++i) brushes.push_back(CreateSolidBrush(0xFF000000u | (i + 1) * 0x010203u));
        for (std::uint32_t i = 0; i < 40; ++i) {
            ASSERT_NE(brushes[i], nullptr);
            EXPECT_EQ(ObjectKindOf(brushes[i]), ObjectKind::Brush);
            EXPECT_FALSE(IsStockObject(brushes[i]));
            EXPECT_EQ(BitmapSurface(brushes[i]), nullptr);
            const ObjectHandle replaced = SelectObject(canvas.dc, brushes[i]);
            const Point2 square[4] = {{0, 0}, {4, 0}, {4, 4}, {0, 4}};
            EXPECT_TRUE(Polygon(canvas.dc, square, 4));
            EXPECT_EQ(GetPixel(canvas.dc, 1, 1), (i + 1) * 0x010203u) << "brush " << i << " fills in its own colour";
            SelectObject(canvas.dc, replaced);
        }
        for (ObjectHandle brush : brushes) EXPECT_TRUE(DeleteObject(brush));
        const ObjectHandle pen = CreatePen(PS_SOLID, 0, 0x000000FF);
        MoveToEx(canvas.dc, 0, 3, nullptr);
        SelectObject(canvas.dc, pen);
        LineTo(canvas.dc, 4, 3);
        EXPECT_EQ(GetPixel(canvas.dc, 2, 3), 0x000000FFu) << "a pen in a null pen's old storage draws";
        SelectObject(canvas.dc, GetStockObject(BLACK_PEN));
        EXPECT_TRUE(DeleteObject(pen));
    };
    createAndCheck();
    std::thread other(createAndCheck);
    other.join();
    EXPECT_EQ(LiveObjectCount(), before);
}

TEST(CanvasObjects, BitmapBelongsToOneContextAndDeletingContextReleasesIt) {
    const ObjectHandle bitmap = CreateBitmap(4, 4);
    const DcHandle first = CreateCompatibleDC(nullptr);
    const DcHandle second = CreateCompatibleDC(first);
    EXPECT_EQ(SelectObject(first, bitmap), nullptr);
    EXPECT_EQ(SelectObject(second, bitmap), nullptr) << "already selected elsewhere";
    EXPECT_EQ(DcSurface(second), nullptr);
    EXPECT_FALSE(DeleteObject(bitmap));
    EXPECT_TRUE(DeleteDC(first));
    EXPECT_EQ(SelectObject(second, bitmap), nullptr);
    EXPECT_EQ(DcSurface(second), BitmapSurface(bitmap));
    EXPECT_TRUE(DeleteDC(second));
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_EQ(CreateBitmap(0, 5), nullptr);
    EXPECT_EQ(CreateBitmap(16385, 1), nullptr);
}

TEST(CanvasObjects, StateGuardRestoresStateAndObjects) {
    CanvasFixture canvas(4, 4);
    const ObjectHandle pen = CreatePen(PS_SOLID, 0, 0x00FF0000);
    SelectObject(canvas.dc, pen);
    SetROP2(canvas.dc, R2_XORPEN);
    {
        DcStateGuard guard(canvas.dc);
        SelectObject(canvas.dc, GetStockObject(NULL_PEN));
        EXPECT_FALSE(DeleteObject(pen)) << "the guard still holds the saved pen";
        SetROP2(canvas.dc, R2_COPYPEN);
        SetBkMode(canvas.dc, TRANSPARENT);
        MoveToEx(canvas.dc, 3, 3, nullptr);
        // The DC brush fills in the context's own colour, which the guard saves too.
        EXPECT_EQ(SetDCBrushColor(canvas.dc, 0x00123456), 0x00FFFFFFu);
        SelectObject(canvas.dc, GetStockObject(DC_BRUSH));
        const Point2 square[4] = {{0, 0}, {2, 0}, {2, 2}, {0, 2}};
        Polygon(canvas.dc, square, 4);
        EXPECT_EQ(GetPixel(canvas.dc, 1, 1), 0x00123456u);
    }
    EXPECT_EQ(SetDCBrushColor(canvas.dc, 0), 0x00FFFFFFu);
    EXPECT_EQ(GetCurrentObject(canvas.dc, ObjectKind::Pen), pen);
    EXPECT_EQ(GetROP2(canvas.dc), R2_XORPEN);
    EXPECT_EQ(canvas.dc->state.backgroundMode, OPAQUE);
    EXPECT_EQ(canvas.dc->state.position.x, 0);
    SelectObject(canvas.dc, GetStockObject(BLACK_PEN));
    EXPECT_TRUE(DeleteObject(pen));
}

TEST(CanvasObjects, NullContextAndContextWithoutBitmapDrawNothing) {
    const Point2 triangle[3] = {{0, 0}, {4, 0}, {0, 4}};
    const TriVertex vertices[2] = {TriVertexFromColorRef(0, 0, 0), TriVertexFromColorRef(4, 4, 0x00FFFFFF)};
    const GradientRectMesh rect{0, 1};
    for (const DcHandle dc : {static_cast<DcHandle>(nullptr), CreateCompatibleDC(nullptr)}) {
        Polygon(dc, triangle, 3);
        LineTo(dc, 5, 5);
        PolyBezier(dc, triangle, 1);
        TextOut(dc, 0, 0, "x", 1);
        GradientFill(dc, vertices, 2, &rect, 1, GRADIENT_FILL_RECT_H);
        EXPECT_EQ(SetPixel(dc, 0, 0, 0x00FFFFFF), CLR_INVALID);
        EXPECT_EQ(GetPixel(dc, 0, 0), CLR_INVALID);
        EXPECT_EQ(DcSurface(dc), nullptr);
        DeleteDC(dc);
    }
}

TEST(CanvasPixels, SetPixelUsesRasterOperationAndGetPixelIsInvalidOutside) {
    CanvasFixture canvas(3, 2);
    EXPECT_EQ(SetPixel(canvas.dc, 1, 1, 0x00336699), 0x00336699u);
    EXPECT_EQ(GetPixel(canvas.dc, 1, 1), 0x00336699u);
    EXPECT_EQ(canvas.At(1, 1), 0x996633u) << "stored as 0xRRGGBB";
    EXPECT_EQ(canvas.surface().pixels[canvas.surface().pitch + 1] >> 24, 0xFFu) << "opaque alpha for the window layer";
    SetROP2(canvas.dc, R2_NOT);
    SetPixel(canvas.dc, 1, 1, 0);
    EXPECT_EQ(GetPixel(canvas.dc, 1, 1), 0x00CC9966u);
    SetROP2(canvas.dc, R2_MERGEPEN);
    SetPixel(canvas.dc, 1, 1, 0x00000011);
    EXPECT_EQ(GetPixel(canvas.dc, 1, 1), 0x00CC9977u);
    for (const Point2 p : {Point2{-1, 0}, Point2{3, 0}, Point2{0, 2}, Point2{0, -2147483647 - 1}}) {
        EXPECT_EQ(SetPixel(canvas.dc, p.x, p.y, 0x00FFFFFF), CLR_INVALID);
        EXPECT_EQ(GetPixel(canvas.dc, p.x, p.y), CLR_INVALID);
    }
}

TEST(CanvasPixels, EverySixteenRasterOperationFollowsItsTruthTable) {
    CanvasFixture canvas(1, 1);
    Random random = test::SeededRandom(16.0);
    for (int round = 0; round < 200; ++round) {
        const auto pen = static_cast<ColorRef>(test::RandomBetween(random, 0, 0xFFFFFF));
        const auto destination = static_cast<ColorRef>(test::RandomBetween(random, 0, 0xFFFFFF));
        for (std::int32_t rop = 1; rop <= 16; ++rop) {
            SetROP2(canvas.dc, R2_COPYPEN);
            SetPixel(canvas.dc, 0, 0, destination);
            SetROP2(canvas.dc, rop);
            SetPixel(canvas.dc, 0, 0, pen);
            // Each result bit is bit (2 * pen bit + destination bit) of rop - 1.
            for (int bit = 0; bit < 24; ++bit) {
                const std::uint32_t index = 2 * ((pen >> bit) & 1u) + ((destination >> bit) & 1u);
                ASSERT_EQ((GetPixel(canvas.dc, 0, 0) >> bit) & 1u, (static_cast<std::uint32_t>(rop - 1) >> index) & 1u)
                    << "rop " << rop << " bit " << bit;
            }
        }
    }
}

TEST(CanvasBlit, CopiesClippedAtBothSurfaces) {
    CanvasFixture source(4, 3);
    for (std::int32_t y = 0; y < 3; ++y) {
        for (std::int32_t x = 0; x < 4; ++x) {
            SetPixel(source.dc, x, y, static_cast<ColorRef>(0x10 * (y + 1) + x));
        }
    }
    CanvasFixture target(5, 5);
    SetPixel(target.dc, 0, 0, 0x00ABCDEF);
    // Source window (-1, 1) .. (3, 4) lands at (2, 3): only source rows 1..2, columns 0..2 exist and fit.
    EXPECT_TRUE(BitBlt(target.dc, 2, 3, 4, 3, source.dc, -1, 1, SRCCOPY));
    EXPECT_EQ(GetPixel(target.dc, 0, 0), 0x00ABCDEFu);
    EXPECT_EQ(GetPixel(target.dc, 2, 3), 0u) << "its source lies outside: unchanged";
    EXPECT_EQ(GetPixel(target.dc, 3, 3), 0x20u);
    EXPECT_EQ(GetPixel(target.dc, 4, 4), 0x31u);
    EXPECT_FALSE(BitBlt(target.dc, 0, 0, 2, 2, source.dc, 0, 0, 0x00EE0086));
    EXPECT_TRUE(BitBlt(target.dc, -2147483647 - 1, 2147483647, 2147483647, 2147483647, source.dc, 2147483647, -5, SRCCOPY));

    // Overlapping copy within one surface moves the picture intact.
    EXPECT_TRUE(BitBlt(source.dc, 1, 1, 4, 3, source.dc, 0, 0, SRCCOPY));
    EXPECT_EQ(GetPixel(source.dc, 1, 1), 0x10u);
    EXPECT_EQ(GetPixel(source.dc, 3, 2), 0x22u);
    EXPECT_TRUE(BitBlt(source.dc, 0, 0, 4, 3, source.dc, 1, 1, SRCCOPY));
    EXPECT_EQ(GetPixel(source.dc, 0, 0), 0x10u);
    EXPECT_EQ(GetPixel(source.dc, 2, 1), 0x22u);
}

}  // namespace
}  // namespace vantrel
