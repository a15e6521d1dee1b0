// Coordinates at the ends of the 32-bit range: the canvas finishes at once and clips exactly.
#include <gtest/gtest.h>

#include "canvas_fixture.h"
#include "reference_oracle.h"

namespace vantrel {
namespace {

using test::CanvasFixture;

constexpr std::int32_t kFar = 2000000000;
constexpr std::int32_t kMin = -2147483647 - 1;
constexpr std::int32_t kMax = 2147483647;

TEST(CanvasExtremes, DiagonalLineAcrossTheWholeRangeIsTheDiagonal) {
    CanvasFixture canvas(40, 30);
    SelectObject(canvas.dc, GetStockObject(WHITE_PEN));
    MoveToEx(canvas.dc, -kFar, -kFar, nullptr);
    LineTo(canvas.dc, kFar, kFar);
    for (std::int32_t y = 0; y < 30; ++y) {
        for (std::int32_t x = 0; x < 40; ++x) {
            ASSERT_EQ(canvas.At(x, y), x == y ? 0xFFFFFFu : 0u) << x << ", " << y;
        }
    }
    // The full range in both directions, horizontal and vertical at the surface's edges.
    const Point2 ends[][2] = {{{kMin, kMin}, {kMax, kMax}}, {{kMax, kMin}, {kMin, kMax}}, {{kMin, 0}, {kMax, 0}},
                              {{39, kMax}, {39, kMin}},     {{kMin, 29}, {kMax, 28}},     {{kMax, kMax}, {kMin, kMin}}};
    for (const auto& line : ends) {
        CanvasFixture fresh(40, 30);
        SelectObject(fresh.dc, GetStockObject(WHITE_PEN));
        MoveToEx(fresh.dc, line[0].x, line[0].y, nullptr);
        LineTo(fresh.dc, line[1].x, line[1].y);
        for (std::int32_t y = 0; y < 30; ++y) {
            for (std::int32_t x = 0; x < 40; ++x) {
                ASSERT_EQ(fresh.At(x, y) != 0, test::OracleLineCovers(line[0], line[1], x, y))
                    << line[0].x << "," << line[0].y << " -> " << line[1].x << "," << line[1].y << " at " << x << ", " << y;
            }
        }
    }
}

TEST(CanvasExtremes, PolygonWithCornersAtTheRangeEndsFillsExactly) {
    const Point2 shapes[][4] = {
        {{-kFar, -kFar}, {kFar, -kFar}, {kFar, kFar}, {-kFar, kFar}},
        {{kMin, kMin}, {kMax, kMin + 7}, {11, kMax}, {kMin, 20}},
        {{-kFar, 15}, {kFar, 16}, {kFar, kFar}, {-kFar, 14}},
        {{kMax, kMax}, {kMin, kMin}, {kMax, kMin}, {kMin, kMax}},  // self-crossing bow tie
    };
    for (const auto& shape : shapes) {
        CanvasFixture canvas(32, 24);
        SelectObject(canvas.dc, GetStockObject(NULL_PEN));
        Polygon(canvas.dc, shape, 4);
        for (std::int32_t y = 0; y < 24; ++y) {
            for (std::int32_t x = 0; x < 32; ++x) {
                ASSERT_EQ(canvas.At(x, y) != 0, test::OracleFillCovers(shape, 4, x, y)) << x << ", " << y;
            }
        }
    }
}

TEST(CanvasExtremes, BezierWithFarControlPointsStaysInsideAndEndsInPlace) {
    CanvasFixture canvas(48, 36);
    SelectObject(canvas.dc, GetStockObject(WHITE_PEN));
    const Point2 points[7] = {{5, 5}, {kFar, -kFar}, {-kFar, kFar}, {40, 30}, {kMax, kMax}, {kMin, kMin}, {5, 30}};
    EXPECT_TRUE(PolyBezier(canvas.dc, points, 7));
    EXPECT_EQ(canvas.At(5, 5), 0xFFFFFFu) << "the curve starts at its first point";
    const Point2 everywhere[4] = {{kMin, kMin}, {kMax, kMin}, {kMin, kMax}, {kMax, kMax}};
    EXPECT_TRUE(PolyBezier(canvas.dc, everywhere, 4));
}

TEST(CanvasExtremes, GradientsAtTheRangeEndsUseExactRamps) {
    CanvasFixture canvas(16, 8);
    // A horizontal ramp over the whole range: every visible column is within one step of the middle.
    const TriVertex strip[2] = {TriVertexFromColorRef(kMin, 0, 0x00000000), TriVertexFromColorRef(kMax, 8, 0x00FFFFFF)};
    const GradientRectMesh rect{0, 1};
    EXPECT_TRUE(GradientFill(canvas.dc, strip, 2, &rect, 1, GRADIENT_FILL_RECT_H));
    EXPECT_EQ(canvas.At(0, 0), 0x7F7F7Fu);
    EXPECT_EQ(canvas.At(15, 7), 0x7F7F7Fu);
    // A triangle covering the surface with one colour at every corner fills flat, whatever its size.
    const TriVertex huge[3] = {TriVertexFromColorRef(kMin, kMin, 0x00336699), TriVertexFromColorRef(kMax, kMin, 0x00336699),
                               TriVertexFromColorRef(0, kMax, 0x00336699)};
    const GradientTriangleMesh triangle{0, 1, 2};
    EXPECT_TRUE(GradientFill(canvas.dc, huge, 3, &triangle, 1, GRADIENT_FILL_TRIANGLE));
    for (std::int32_t y = 0; y < 8; ++y) {
        for (std::int32_t x = 0; x < 16; ++x) {
            ASSERT_EQ(canvas.At(x, y), 0x996633u) << x << ", " << y;
        }
    }
    // Out-of-range vertex indices and unknown modes are refused before anything is drawn.
    const GradientTriangleMesh bad{0, 1, 3};
    EXPECT_FALSE(GradientFill(canvas.dc, huge, 3, &bad, 1, GRADIENT_FILL_TRIANGLE));
    EXPECT_FALSE(GradientFill(canvas.dc, huge, 3, &triangle, 1, 7));
}

}  // namespace
}  // namespace vantrel
