#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "geometry/color.h"
#include "geometry/point.h"
#include "geometry/random.h"
#include "geometry/rounding.h"

namespace vantrel {
namespace {

TEST(Rounding, HalvesGoToTheEvenNeighbour) {
    EXPECT_EQ(RoundToInt(0.5), 0);
    EXPECT_EQ(RoundToInt(1.5), 2);
    EXPECT_EQ(RoundToInt(2.5), 2);
    EXPECT_EQ(RoundToInt(-0.5), 0);
    EXPECT_EQ(RoundToInt(-1.5), -2);
    EXPECT_EQ(RoundToInt(2.4999), 2);
    EXPECT_EQ(RoundToByte(127.5), 128);
    EXPECT_EQ(RoundToByte(126.5), 126);
}

TEST(Rounding, ExtremesSaturateAndNaNIsZero) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(RoundToInt(nan), 0);
    EXPECT_EQ(RoundToInt(inf), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(RoundToInt(-inf), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(RoundToInt(1e30), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(RoundToInt(-1e30), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(RoundToInt(2147483646.6), 2147483647);
    EXPECT_EQ(RoundToByte(nan), 0);
    EXPECT_EQ(RoundToByte(inf), 255);
    EXPECT_EQ(RoundToByte(-inf), 0);
    EXPECT_EQ(RoundToByte(1e30), 255);
    EXPECT_EQ(RoundToByte(-3.0), 0);
    EXPECT_EQ(SaturateChannel(510), 255);
    EXPECT_EQ(SaturateChannel(-1), 0);
}

// The inline rounding must agree with the library's round-to-nearest-even everywhere in range.
TEST(Rounding, AgreesWithNearbyIntOnRandomValuesAndEveryHalf) {
    Random random;
    RandomSeed(random, 99.0);
    for (int i = 0; i < 200000; ++i) {
        const double scale = std::ldexp(1.0, int(RandomUniform(random) * 31));
        const double value = (RandomUniform(random) - 0.5) * 2.0 * scale;
        ASSERT_EQ(RoundToInt(value), std::int32_t(std::nearbyint(value))) << value;
        const double half = std::floor(value) + 0.5;
        ASSERT_EQ(RoundToInt(half), std::int32_t(std::nearbyint(half))) << half;
        const double channel = RandomUniform(random) * 255.0;
        ASSERT_EQ(RoundToByte(channel), std::uint8_t(std::nearbyint(channel))) << channel;
    }
    EXPECT_EQ(RoundToInt(-0.0), 0);
    EXPECT_EQ(RoundToInt(0.49999999999999994), 0);
    EXPECT_EQ(RoundToInt(-2147483648.4), -2147483647 - 1);
    EXPECT_EQ(RoundToByte(254.5), 254);
    EXPECT_EQ(RoundToByte(0.5), 0);
}

TEST(Point2, ConversionRoundsToEvenAndSurvivesNonFiniteInput) {
    Point2 out;
    Point2FromPoint2F({2.5f, -1.5f}, out);
    EXPECT_EQ(out.x, 2);
    EXPECT_EQ(out.y, -2);
    Point2FromPoint2F({std::numeric_limits<float>::quiet_NaN(), -std::numeric_limits<float>::infinity()}, out);
    EXPECT_EQ(out.x, 0);
    EXPECT_EQ(out.y, std::numeric_limits<std::int32_t>::min());
    Point2FromPoint2F({1e30f, 3.49f}, out);
    EXPECT_EQ(out.x, std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(out.y, 3);
}

TEST(Point2, SubtractionWrapsAndEdgeSideIsStrict) {
    Point2 out;
    Point2Sub({std::numeric_limits<std::int32_t>::min(), 5}, {1, 7}, out);
    EXPECT_EQ(out.x, std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(out.y, -2);
    // Window y grows downward: (0,0) -> (10,0) with (0,10) below is a positive cross product.
    EXPECT_EQ(EdgeSide({0, 0}, {10, 0}, {0, 10}), kFalse);
    EXPECT_EQ(EdgeSide({0, 0}, {10, 0}, {0, -10}), kTrue);
    EXPECT_EQ(EdgeSide({0, 0}, {10, 0}, {20, 0}), kFalse);  // collinear is not a side
}

TEST(Color, ChannelsSaturateAndRoundToEven) {
    ColorRGB out;
    ColorScale({200, 100, 0}, 1.5f, out);
    EXPECT_EQ(out, (ColorRGB{255, 150, 0}));
    ColorLerp({0, 0, 0}, {255, 255, 255}, 0.5f, out);
    EXPECT_EQ(out, (ColorRGB{128, 128, 128}));
    ColorLerp({0, 0, 0}, {253, 253, 253}, 0.5f, out);
    EXPECT_EQ(out, (ColorRGB{126, 126, 126}));
    ColorLerp({10, 200, 30}, {10, 200, 30}, 1.0f, out);
    EXPECT_EQ(out, (ColorRGB{10, 200, 30}));
    ColorAdd({200, 100, 255}, {100, 100, 1}, out);
    EXPECT_EQ(out, (ColorRGB{255, 200, 255}));
    ColorScale({200, 100, 50}, std::numeric_limits<float>::infinity(), out);
    EXPECT_EQ(out, (ColorRGB{255, 255, 255}));
    ColorScale({200, 100, 50}, std::numeric_limits<float>::quiet_NaN(), out);
    EXPECT_EQ(out, (ColorRGB{0, 0, 0}));
}

TEST(Color, ColorRefPacksRedInTheLowByte) {
    ColorRGB out;
    ColorFromColorRef(0x00FFFFFF, out);
    EXPECT_EQ(out, (ColorRGB{255, 255, 255}));
    ColorFromColorRef(0x00123456, out);
    EXPECT_EQ(out, (ColorRGB{0x56, 0x34, 0x12}));
    EXPECT_EQ(ColorToColorRef({255, 0, 0}), 0x000000FFu);
    EXPECT_EQ(ColorToColorRef({0x56, 0x34, 0x12}), 0x00123456u);
}

}  // namespace
}  // namespace vantrel
