// Properties of the canvas on many random inputs from fixed seeds.
#include <gtest/gtest.h>

#include <string>

#include "canvas/pixel_paths.h"
#include "canvas/pixel_rows.h"
#include "canvas_fixture.h"
#include "gradient_reference.h"
#include "reference_oracle.h"
#include "tools/canvas-replay/script_reader.h"

namespace vantrel {
namespace {

using test::CanvasFixture;
using test::RandomBetween;

// A coordinate near the surface, or far away at one of several scales.
std::int64_t RandomCoordinate(Random& random, std::int64_t extent) {
    switch (RandomBetween(random, 0, 5)) {
    case 0: return RandomBetween(random, -200000, 200000);
    case 1: return RandomBetween(random, -2147483647 - 1, 2147483647);
    case 2: return RandomBetween(random, -600000000, 600000000);
    default: return RandomBetween(random, -extent / 2, extent + extent / 2);
    }
}

std::string RandomColor(Random& random) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08llX", static_cast<unsigned long long>(RandomBetween(random, 0, 0xFFFFFF)));
    return text;
}

std::string RandomPoint(Random& random, std::int64_t width, std::int64_t height) {
    return std::to_string(RandomCoordinate(random, width)) + " " + std::to_string(RandomCoordinate(random, height));
}

// A random script over every operation, at every coordinate scale.
std::string RandomScript(Random& random, std::int32_t width, std::int32_t height) {
    std::string script = "size " + std::to_string(width) + " " + std::to_string(height) + "\n";
    for (int op = 0; op < 12; ++op) {
        switch (RandomBetween(random, 0, 7)) {
        case 0: script += "rop2 " + std::to_string(RandomBetween(random, 1, 16)) + "\n"; break;
        case 1: script += "pen " + std::string(RandomBetween(random, 0, 4) == 0 ? "5 " : "0 ") + RandomColor(random) + "\n"; break;
        case 2: script += "brush " + std::to_string(RandomBetween(random, 0, 3) == 0 ? 1 : 0) + " " + RandomColor(random) + "\n"; break;
        case 3: {
            const std::int64_t n = RandomBetween(random, 2, 7);
            script += "polygon " + std::to_string(n);
            for (std::int64_t k = 0; k < n; ++k) {
                (script += ' ') += RandomPoint(random, width, height);
            }
            script += "\n";
            break;
        }
        case 4: script += "line " + RandomPoint(random, width, height) + " " + RandomPoint(random, width, height) + "\n"; break;
        case 5: {
            script += "bezier 7";
            for (int k = 0; k < 7; ++k) {
                (script += ' ') += RandomPoint(random, width, height);
            }
            script += "\n";
            break;
        }
        case 6:
            script += "gradrect " + RandomPoint(random, width, height) + " " + RandomPoint(random, width, height) + " " +
                      std::to_string(RandomBetween(random, 0, 1)) + " " + RandomColor(random) + " " + RandomColor(random) + "\n";
            break;
        default:
            script += "gradtri";
            for (int k = 0; k < 3; ++k) {
                (script += ' ') += RandomPoint(random, width, height);
                (script += ' ') += RandomColor(random);
            }
            script += "\n";
            break;
        }
    }
    return script;
}

TEST(CanvasProperties, RandomScriptsMatchThePixelByPixelOracle) {
    Random random = test::SeededRandom(4711.0);
    const std::int64_t objectsBefore = LiveObjectCount();
    for (int round = 0; round < 300; ++round) {
        const std::string script = RandomScript(random, 24, 18);
        ScriptCanvas canvas;
        ScriptError error;
        ASSERT_TRUE(ScriptRun(script, canvas, error)) << error.line << ": " << error.message << "\n" << script;
        test::OracleImage oracle;
        ASSERT_TRUE(test::OracleRunScript(script, oracle));
        const Surface& surface = *DcSurface(canvas.dc);
        std::int32_t different = 0;
        for (std::int32_t y = 0; y < surface.height; ++y) {
            for (std::int32_t x = 0; x < surface.width; ++x) {
                different += (surface.pixels[y * surface.pitch + x] & 0xFFFFFFu) != oracle.rgb[static_cast<std::size_t>(y * 24 + x)];
            }
        }
        ScriptCanvasRelease(canvas);
        ASSERT_EQ(different, 0) << "round " << round << ":\n" << script;
    }
    EXPECT_EQ(LiveObjectCount(), objectsBefore);
}

TEST(CanvasProperties, LinesClippedToABandMatchTheOracleAndWriteNothingElse) {
    // A 40 x 12 band in a larger buffer; end points near its edges, far, or mirrored about a point
    // near it; copy, inverting (a pixel visited twice shows) and merging pens.
    constexpr std::int32_t kPitch = 48, kRows = 40, kLeft = 4, kTop = 14, kWidth = 40, kHeight = 12;
    std::vector<std::uint32_t> memory(kPitch * kRows);
    const ObjectHandle band = CreateBitmapOver(Surface{kWidth, kHeight, kPitch, memory.data() + kTop * kPitch + kLeft});
    const DcHandle dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, band);
    SelectObject(dc, GetStockObject(WHITE_PEN));
    Random random = test::SeededRandom(314.0);
    const auto clamped = [](std::int64_t v) { return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX)); };
    const auto near = [&random](std::int64_t extent) { return RandomBetween(random, -2, extent + 1); };
    for (int round = 0; round < 6000; ++round) {
        std::fill(memory.begin(), memory.end(), 0xFF000000u);
        SetROP2(dc, round % 3 == 0 ? R2_COPYPEN : round % 3 == 1 ? R2_NOT : R2_MERGEPEN);
        const std::int64_t scale = std::int64_t{1} << RandomBetween(random, 0, 31);
        const Point2 from{clamped(RandomBetween(random, -scale, scale)), clamped(RandomBetween(random, -scale, scale))};
        const Point2 to = round % 2 == 0 ? Point2{clamped(near(kWidth)), clamped(near(kHeight))}
                                         : Point2{clamped(2 * near(kWidth) - from.x), clamped(2 * near(kHeight) - from.y)};
        MoveToEx(dc, from.x, from.y, nullptr);
        LineTo(dc, to.x, to.y);
        for (std::int32_t y = 0; y < kRows; ++y) {
            for (std::int32_t x = 0; x < kPitch; ++x) {
                const bool inside = x >= kLeft && x < kLeft + kWidth && y >= kTop && y < kTop + kHeight;
                ASSERT_EQ(memory[static_cast<std::size_t>(y * kPitch + x)] == 0xFFFFFFFFu,
                          inside && test::OracleLineCovers(from, to, x - kLeft, y - kTop))
                    << round << ": " << from.x << "," << from.y << " -> " << to.x << "," << to.y << " at " << x - kLeft << ", " << y - kTop;
            }
        }
    }
    DeleteDC(dc);
    DeleteObject(band);
}

TEST(CanvasProperties, GradientTrianglesOnEveryPixelPathMatchTheDividingFill) {
    // Sizes from a few pixels to beyond the 16- and 32-bit lanes' and the 64-bit set-up's range,
    // with arbitrary 16-bit channels or, every other round, whole bytes as the renderer's colours
    // are; every triangle is compared on its own.
    const std::int64_t scales[] = {6, 40, 100, 180, 3000, 1 << 20, 1 << 22};
    const PixelPath before = LimitPixelPath(PixelPath::Avx2);
    for (std::int32_t path = 0; path <= static_cast<std::int32_t>(WidestPixelPath()); ++path) {
        LimitPixelPath(static_cast<PixelPath>(path));
        Random random = test::SeededRandom(1234.0);
        CanvasFixture filled(173, 131);
        CanvasFixture expected(173, 131);
        for (int round = 0; round < 1400; ++round) {
            const std::int64_t scale = scales[round % 7];
            const std::uint16_t lowBits = round % 2 == 0 ? 0xFFFF : 0xFF00;
            const std::int64_t centreX = RandomBetween(random, -20, 190), centreY = RandomBetween(random, -20, 150);
            TriVertex v[3];
            for (TriVertex& corner : v) {
                corner.x = static_cast<std::int32_t>(centreX + RandomBetween(random, -scale, scale));
                corner.y = static_cast<std::int32_t>(centreY + RandomBetween(random, -scale, scale));
                corner.red = static_cast<std::uint16_t>(RandomBetween(random, 0, 0xFFFF) & lowBits);
                corner.green = static_cast<std::uint16_t>(RandomBetween(random, 0, 0xFFFF) & lowBits);
                corner.blue = static_cast<std::uint16_t>(RandomBetween(random, 0, 0xFFFF) & lowBits);
            }
            const GradientTriangleMesh triangle{0, 1, 2};
            GradientFill(filled.dc, v, 3, &triangle, 1, GRADIENT_FILL_TRIANGLE);
            test::ReferenceGradientTriangle(expected.surface(), v);
            const std::uint32_t* a = filled.surface().pixels;
            ASSERT_TRUE(std::equal(a, a + 173 * 131, expected.surface().pixels)) << "path " << path << ", round " << round;
        }
    }
    LimitPixelPath(before);
}

TEST(CanvasProperties, PixelRowsCopyExactlyOnEveryPath) {
    // Every start against the 16-byte stores, widths around the 4- and 16-pixel steps, 3 rows.
    std::uint32_t source[40 * 3], target[48 * 3];
    for (std::uint32_t k = 0; k < 40 * 3; ++k) source[k] = 0xFF000000u | (k * 2654435761u >> 8);
    const PixelPath before = LimitPixelPath(PixelPath::Avx2);
    for (std::int32_t path = 0; path <= static_cast<std::int32_t>(WidestPixelPath()); ++path) {
        LimitPixelPath(static_cast<PixelPath>(path));
        for (std::int32_t start = 1; start <= 4; ++start) {
            for (std::int32_t width = 0; width <= 37; ++width) {
                std::fill(std::begin(target), std::end(target), 7u);
                CopyPixelRows(target + start, 48, source + 2, 40, width, 3);
                int wrong = 0;
                for (std::int32_t k = 0; k < 48 * 3; ++k) {
                    const std::int32_t x = k % 48 - start;
                    wrong += target[k] != (x >= 0 && x < width ? source[k / 48 * 40 + 2 + x] : 7u);
                }
                ASSERT_EQ(wrong, 0) << "path " << path << ", start " << start << ", width " << width;
            }
        }
    }
    LimitPixelPath(before);
}

TEST(CanvasProperties, NotOutlineDrawnTwiceRestoresEveryPixel) {
    Random random = test::SeededRandom(99.0);
    CanvasFixture canvas(48, 36);
    // A busy background: a gradient with random pixels on it.
    const TriVertex corners[2] = {TriVertexFromColorRef(0, 0, 0x00123456), TriVertexFromColorRef(48, 36, 0x00FEDCBA)};
    const GradientRectMesh rect{0, 1};
    GradientFill(canvas.dc, corners, 2, &rect, 1, GRADIENT_FILL_RECT_H);
    for (int k = 0; k < 200; ++k) {
        SetPixel(canvas.dc, static_cast<std::int32_t>(RandomBetween(random, 0, 47)),
                 static_cast<std::int32_t>(RandomBetween(random, 0, 35)), static_cast<ColorRef>(RandomBetween(random, 0, 0xFFFFFF)));
    }
    const std::vector<std::uint32_t> background = canvas.Pixels();
    SelectObject(canvas.dc, GetStockObject(NULL_BRUSH));
    SetROP2(canvas.dc, R2_NOT);
    for (int round = 0; round < 500; ++round) {
        Point2 points[6];
        const std::int32_t count = static_cast<std::int32_t>(RandomBetween(random, 2, 6));
        for (std::int32_t k = 0; k < count; ++k) {
            points[k] = Point2{static_cast<std::int32_t>(RandomBetween(random, -10, 58)),
                               static_cast<std::int32_t>(RandomBetween(random, -10, 46))};
        }
        Polygon(canvas.dc, points, count);
        Polygon(canvas.dc, points, count);
        ASSERT_EQ(canvas.Pixels(), background) << "round " << round;
    }
}

TEST(CanvasProperties, TrianglesSharingAnEdgeTileWithoutOverlapOrGap) {
    Random random = test::SeededRandom(2024.0);
    CanvasFixture xored(40, 30);
    CanvasFixture whole(40, 30);
    for (CanvasFixture* canvas : {&xored, &whole}) {
        SelectObject(canvas->dc, GetStockObject(NULL_PEN));
        SelectObject(canvas->dc, GetStockObject(WHITE_BRUSH));
    }
    SetROP2(xored.dc, R2_XORPEN);
    const auto random_point = [&random]() {
        return Point2{static_cast<std::int32_t>(RandomBetween(random, -15, 55)), static_cast<std::int32_t>(RandomBetween(random, -15, 45))};
    };
    for (int round = 0; round < 1000; ++round) {
        // Triangles a-b-c and a-c-d on opposite sides of the shared edge a-c form the polygon a-b-c-d.
        const Point2 a = random_point(), b = random_point(), c = random_point(), d = random_point();
        const std::int64_t sideB = (std::int64_t{c.x} - a.x) * (b.y - a.y) - (std::int64_t{c.y} - a.y) * (b.x - a.x);
        const std::int64_t sideD = (std::int64_t{c.x} - a.x) * (d.y - a.y) - (std::int64_t{c.y} - a.y) * (d.x - a.x);
        if ((sideB > 0) == (sideD > 0) || sideB == 0 || sideD == 0) {
            continue;
        }
        const Point2 first[3] = {a, b, c}, second[3] = {a, c, d}, quad[4] = {a, b, c, d};
        for (CanvasFixture* canvas : {&xored, &whole}) {
            const TriVertex black[2] = {TriVertexFromColorRef(0, 0, 0), TriVertexFromColorRef(40, 30, 0)};
            const GradientRectMesh rect{0, 1};
            GradientFill(canvas->dc, black, 2, &rect, 1, GRADIENT_FILL_RECT_H);
        }
        Polygon(xored.dc, first, 3);
        Polygon(xored.dc, second, 3);
        Polygon(whole.dc, quad, 4);
        ASSERT_EQ(xored.Pixels(), whole.Pixels()) << "round " << round;
    }
}

TEST(CanvasProperties, GuardBorderStaysUntouched) {
    // A 32 x 24 surface inside a larger buffer whose border must never change.
    constexpr std::int32_t kGuard = 8, kWidth = 32, kHeight = 24, kPitch = kWidth + 2 * kGuard;
    constexpr std::uint32_t kSentinel = 0xA5C3E1F7u;
    std::vector<std::uint32_t> memory(static_cast<std::size_t>(kPitch * (kHeight + 2 * kGuard)), kSentinel);
    Surface inner{kWidth, kHeight, kPitch, memory.data() + kGuard * kPitch + kGuard};
    for (std::int32_t y = 0; y < kHeight; ++y) {
        std::fill_n(inner.pixels + y * kPitch, kWidth, 0xFF000000u);
    }
    const ObjectHandle bitmap = CreateBitmapOver(inner);
    const DcHandle dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, bitmap);
    ASSERT_EQ(DcSurface(dc)->pixels, inner.pixels);
    CanvasFixture source(20, 20);
    Random random = test::SeededRandom(7.0);
    const auto coordinate = [&random](std::int64_t extent) {
        return static_cast<std::int32_t>(RandomCoordinate(random, extent));
    };
    for (int round = 0; round < 400; ++round) {
        SetROP2(dc, static_cast<std::int32_t>(RandomBetween(random, 1, 16)));
        SetBkMode(dc, round % 2 == 0 ? OPAQUE : TRANSPARENT);
        Point2 points[7];
        for (Point2& p : points) {
            p = Point2{coordinate(kWidth), coordinate(kHeight)};
        }
        Polygon(dc, points, 5);
        MoveToEx(dc, points[0].x, points[0].y, nullptr);
        LineTo(dc, points[1].x, points[1].y);
        PolyBezier(dc, points, 7);
        SetPixel(dc, points[2].x, points[2].y, 0x00FFFFFF);
        const TriVertex v[3] = {TriVertexFromColorRef(points[3].x, points[3].y, 0x00FF0000),
                                TriVertexFromColorRef(points[4].x, points[4].y, 0x0000FF00),
                                TriVertexFromColorRef(points[5].x, points[5].y, 0x000000FF)};
        const GradientTriangleMesh triangle{0, 1, 2};
        GradientFill(dc, v, 3, &triangle, 1, GRADIENT_FILL_TRIANGLE);
        const GradientRectMesh rect{0, 1};
        GradientFill(dc, v, 3, &rect, 1, round % 2 == 0 ? GRADIENT_FILL_RECT_H : GRADIENT_FILL_RECT_V);
        TextOut(dc, points[6].x % 64, points[6].y % 64, "Guard!", 6);
        BitBlt(dc, points[0].x % 40, points[1].y % 40, 20, 20, source.dc, points[2].x % 30, points[3].y % 30, SRCCOPY);
    }
    DeleteDC(dc);
    DeleteObject(bitmap);
    for (std::int32_t y = 0; y < kHeight + 2 * kGuard; ++y) {
        for (std::int32_t x = 0; x < kPitch; ++x) {
            const bool inside = x >= kGuard && x < kGuard + kWidth && y >= kGuard && y < kGuard + kHeight;
            if (!inside) {
                ASSERT_EQ(memory[static_cast<std::size_t>(y * kPitch + x)], kSentinel) << x << ", " << y;
            }
        }
    }
}

}  // namespace
}  // namespace vantrel
