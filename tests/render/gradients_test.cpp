// Gradient rectangles, the colour strips, gradient triangles and triangle markers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "canvas/canvas.h"
#include "render/drawing_tools.h"
#include "render/gradients.h"
#include "render/render_target.h"

namespace vantrel {
namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

// A back buffer cleared to a colour that no strip or ramp produces.
class Panel {
public:
    Panel(std::int32_t width, std::int32_t height) : width_(width), height_(height) {
        CreateBackBuffer(target, width, height);
        Clear();
    }
    ~Panel() { DestroyBackBuffer(target); }
    void Clear() {
        for (std::int32_t y = 0; y < height_; ++y) {
            for (std::int32_t x = 0; x < width_; ++x) {
                SetPixel(target.dc, x, y, kUnpainted);
            }
        }
    }
    ColorRef At(std::int32_t x, std::int32_t y) const { return GetPixel(target.dc, x, y); }

    static constexpr ColorRef kUnpainted = 0x00010203;
    RenderTarget target;

private:
    std::int32_t width_, height_;
};

std::int32_t Channel(ColorRef c, int k) { return static_cast<std::int32_t>((c >> (8 * k)) & 0xFF); }

// True when colours[0 .. n) is exactly a ramp from `from` toward `to` over n pixels.
bool IsCompleteRamp(const std::vector<ColorRef>& colours, std::size_t first, std::size_t n, ColorRef from, ColorRef to) {
    for (std::size_t p = 0; p < n; ++p) {
        for (int k = 0; k < 3; ++k) {
            const auto expected = (Channel(from, k) * static_cast<std::int64_t>(n - p) + Channel(to, k) * static_cast<std::int64_t>(p)) /
                                  static_cast<std::int64_t>(n);
            if (Channel(colours[first + p], k) != expected) {
                return false;
            }
        }
    }
    return true;
}

TEST(Gradients, GradientRectRoundsCornersHalvesToEvenAndPicksItsAxis) {
    Panel panel(8, 4);
    GradientRect(panel.target.dc, 0.5f, 0.0f, 2.5f, 4.0f, 1, 0x000000FF, 0x00FF0000);
    EXPECT_EQ(panel.At(0, 0), 0x000000FFu) << "0.5 rounds to 0: the first column has the first colour";
    EXPECT_EQ(panel.At(1, 3), 0x007F007Fu);
    EXPECT_EQ(panel.At(2, 0), Panel::kUnpainted) << "2.5 rounds to 2, excluded";
    panel.Clear();
    GradientRect(panel.target.dc, 0.0f, 1.5f, 8.0f, 3.5f, 0, 0x00000000, 0x00FFFFFF);
    EXPECT_EQ(panel.At(7, 2), 0x00000000u) << "vertical: rows 2 and 3, first row the first colour";
    EXPECT_EQ(panel.At(0, 3), 0x007F7F7Fu);
    EXPECT_EQ(panel.At(0, 1), Panel::kUnpainted);
    // Corners passed in reverse give the same ramp with the colours exchanged.
    GradientRect(panel.target.dc, 8.0f, 4.0f, 0.0f, 0.0f, 0, 0x00FFFFFF, 0x00000000);
    EXPECT_EQ(panel.At(5, 0), 0x00000000u);
    EXPECT_EQ(panel.At(5, 2), 0x007F7F7Fu);
}

constexpr ColorRef kStops[8] = {0x00FF00FF, 0x000000FF, 0x0000FFFF, 0x0000FF00,
                                0x00FFFF00, 0x00FF0000, 0x00000000, 0x00FFFFFF};

// Whether rows start .. end - 1 split into complete ramps for segments k .. 6, each starting
// exactly with its stop colour. A segment cut short by an overlapping neighbour is not a complete
// ramp over the rows it kept, and a gap holds no ramp colour at all.
bool SplitsIntoSegments(const std::vector<ColorRef>& column, std::size_t end, int k, std::size_t start) {
    if (k == 7) {
        return start == end;
    }
    for (std::size_t next = start + 1; next <= end; ++next) {
        const bool boundary = k == 6 ? next == end : next < end && column[next] == kStops[k + 1];
        if (boundary && IsCompleteRamp(column, start, next - start, kStops[k], kStops[k + 1]) &&
            SplitsIntoSegments(column, end, k + 1, next)) {
            return true;
        }
    }
    return false;
}

TEST(Gradients, SpectrumSegmentsNeitherOverlapNorLeaveGapsAtAnyHeight) {
    Panel panel(1, 2001);
    std::vector<ColorRef> column(2000);
    for (std::int32_t height = 1; height <= 2000; ++height) {
        panel.Clear();
        SpectrumBar(panel.target.dc, 0.0f, 0.0f, 1.0f, static_cast<float>(height), 0);
        for (std::int32_t y = 0; y < height; ++y) {
            column[static_cast<std::size_t>(y)] = panel.At(0, y);
            ASSERT_NE(column[static_cast<std::size_t>(y)], Panel::kUnpainted) << "gap at row " << y << " of " << height;
        }
        ASSERT_EQ(panel.At(0, height), Panel::kUnpainted) << "painted below the bar, height " << height;
        if (height >= 7) {
            ASSERT_TRUE(SplitsIntoSegments(column, static_cast<std::size_t>(height), 0, 0)) << "height " << height;
            continue;
        }
        // Fewer rows than segments: each row is one segment's first row, in order.
        int last = -1;
        for (std::int32_t y = 0; y < height; ++y) {
            const int k = static_cast<int>(std::find(kStops, kStops + 7, column[static_cast<std::size_t>(y)]) - kStops);
            ASSERT_LT(k, 7) << "height " << height;
            ASSERT_GT(k, last) << "height " << height;
            last = k;
        }
    }
}

TEST(Gradients, ThreeStopBarRunsBlackColourWhite) {
    Panel panel(20, 4);
    ThreeStopBar(panel.target.dc, 0.0f, 0.0f, 20.0f, 4.0f, 1, 0x000080FF);
    EXPECT_EQ(panel.At(0, 0), 0x00000000u);
    EXPECT_EQ(panel.At(10, 3), 0x000080FFu) << "the colour at the middle";
    EXPECT_EQ(panel.At(19, 0), 0x00E5F2FFu) << "nine tenths of the way to white at the end";
    panel.Clear();
    ThreeStopBar(panel.target.dc, 0.0f, 0.0f, 20.0f, 4.0f, 0, 0x000080FF);
    EXPECT_EQ(panel.At(19, 0), 0x00000000u) << "any other direction runs along y";
    EXPECT_EQ(panel.At(0, 2), 0x000080FFu);
}

TEST(Gradients, GradientTriangleInterpolatesAndEqualCornersFillFlat) {
    Panel panel(16, 16);
    const ColorRGB teal{0, 128, 128};
    GradientTriangle(panel.target.dc, {0.4f, 0.4f}, {15.6f, 0.0f}, {0.0f, 15.5f}, teal, teal, teal);
    EXPECT_EQ(panel.At(0, 0), 0x00808000u);
    EXPECT_EQ(panel.At(7, 7), 0x00808000u);
    EXPECT_EQ(panel.At(15, 15), Panel::kUnpainted);
    GradientTriangle(panel.target.dc, {0.0f, 0.0f}, {16.0f, 0.0f}, {0.0f, 16.0f}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255});
    EXPECT_EQ(panel.At(0, 0), 0x000000FFu) << "the first corner's colour exactly";
    EXPECT_EQ(panel.At(8, 0), 0x00007F7Fu) << "halfway along the top edge";
}

TEST(Gradients, TriangleMarkersPointEachWayAndReleaseTheirObjects) {
    const std::int64_t before = LiveObjectCount();
    struct Case {
        std::int32_t direction;
        std::int32_t insideX, insideY;   // a pixel well inside the marker
        std::int32_t outsideX, outsideY;  // beside the apex, off the marker
    };
    const Case cases[] = {{1, 10, 16, 10, 8}, {2, 5, 10, 12, 10}, {3, 10, 5, 10, 12}, {4, 16, 10, 8, 10}};
    for (const Case& c : cases) {
        Panel panel(21, 21);
        TriangleMarker(panel.target, 10.0f, 10.0f, c.direction, 8.0f, 0x00FFFFFF, R2_COPYPEN);
        EXPECT_EQ(panel.At(c.insideX, c.insideY), 0x00FFFFFFu) << "direction " << c.direction;
        EXPECT_EQ(panel.At(10, 10), 0x00000000u) << "black outline through the apex, direction " << c.direction;
        EXPECT_EQ(panel.At(c.outsideX, c.outsideY), Panel::kUnpainted) << "direction " << c.direction;
        EXPECT_EQ(panel.target.pen, nullptr);
        EXPECT_EQ(panel.target.brush, nullptr);
    }
    {
        Panel panel(21, 21);
        TriangleMarker(panel.target, 10.0f, 10.0f, 5, 8.0f, 0x00FFFFFF, R2_COPYPEN);
        EXPECT_EQ(panel.At(10, 16), Panel::kUnpainted) << "unknown directions draw nothing";
        // Pen AND NOT destination: the white brush inverts what lies under the marker.
        TriangleMarker(panel.target, 10.0f, 2.0f, 1, 16.0f, 0x00FFFFFF, R2_MASKPENNOT);
        EXPECT_EQ(panel.At(10, 12), 0x00FEFDFCu);
    }
    EXPECT_EQ(LiveObjectCount(), before);
}

TEST(Gradients, NonFiniteAndHugeFloatCoordinatesStayDefined) {
    Panel panel(12, 9);
    GradientRect(panel.target.dc, kNaN, 0.0f, kNaN, 9.0f, 1, 0x00FFFFFF, 0x00FFFFFF);
    EXPECT_EQ(panel.At(0, 0), Panel::kUnpainted) << "NaN corners become 0: an empty rectangle";
    GradientRect(panel.target.dc, -kInf, -kInf, kInf, kInf, 0, 0x00FFFFFF, 0x00FFFFFF);
    EXPECT_EQ(panel.At(11, 8), 0x00FFFFFFu) << "infinite corners saturate and cover everything";
    SpectrumBar(panel.target.dc, 0.0f, 0.0f, 12.0f, kNaN, 0);
    SpectrumBar(panel.target.dc, -3e38f, kInf, 3e38f, -kInf, 1);
    ThreeStopBar(panel.target.dc, kNaN, -kInf, 1e30f, kInf, 1, 0x00123456);
    GradientTriangle(panel.target.dc, {kInf, kNaN}, {-kInf, 1e38f}, {0.0f, -3e38f}, {1, 2, 3}, {4, 5, 6}, {7, 8, 9});
    TriangleMarker(panel.target, kNaN, kInf, 1, kInf, 0x00FFFFFF, R2_NOT);
    TriangleMarker(panel.target, 6.0f, 0.0f, 1, 1e30f, 0x00FFFFFF, R2_COPYPEN);
    EXPECT_EQ(panel.At(6, 8), 0x00FFFFFFu) << "an enormous marker still fills the panel below its apex";
    EXPECT_EQ(panel.target.pen, nullptr);
}

}  // namespace
}  // namespace vantrel
