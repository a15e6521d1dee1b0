// Every reference case replayed through the canvas and compared with its reference image.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "canvas/canvas.h"
#include "reference_oracle.h"
#include "tools/canvas-replay/ppm.h"
#include "tools/canvas-replay/script_reader.h"

namespace vantrel {
namespace {

const std::filesystem::path kCases = std::filesystem::path(VANTREL_TEST_DATA) / "gdi-reference";

// Cases where the reference wraps 32-bit arithmetic; the canvas draws the geometric result.
const std::set<std::string> kWrappingCases = {"lines_huge_2e9", "bezier_huge_2e9", "gradtri_huge",
                                              "huge_poly_2e9_nullpen", "huge_poly_2e9_solidpen"};
// Rows of gradrect_clipped holding the +-100000 strip, which also wraps in the reference.
constexpr std::int32_t kStripFirstRow = 25;
constexpr std::int32_t kStripEndRow = 35;

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::uint32_t SurfaceRgb(const Surface& surface, std::int32_t x, std::int32_t y) {
    return surface.pixels[static_cast<std::ptrdiff_t>(y) * surface.pitch + x] & 0x00FFFFFFu;
}

std::uint32_t ImageRgb(const RgbImage& image, std::int32_t x, std::int32_t y) {
    const std::size_t at = 3 * (static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width) + static_cast<std::size_t>(x));
    return (static_cast<std::uint32_t>(image.rgb[at]) << 16) | (static_cast<std::uint32_t>(image.rgb[at + 1]) << 8) | image.rgb[at + 2];
}

TEST(Conformance, EveryReferenceCaseMatches) {
    std::vector<std::filesystem::path> scripts;
    for (const auto& entry : std::filesystem::directory_iterator(kCases)) {
        if (entry.path().extension() == ".txt") {
            scripts.push_back(entry.path());
        }
    }
    std::sort(scripts.begin(), scripts.end());
    ASSERT_EQ(scripts.size(), 59u) << "reference cases missing from " << kCases;
    const std::int64_t objectsBefore = LiveObjectCount();
    for (const auto& script : scripts) {
        const std::string name = script.stem().string();
        const std::string text = ReadFile(script);
        ScriptCanvas canvas;
        ScriptError error;
        ASSERT_TRUE(ScriptRun(text, canvas, error)) << name << ":" << error.line << ": " << error.message;
        RgbImage reference;
        ASSERT_TRUE(PpmParse(ReadFile(std::filesystem::path(script).replace_extension(".ppm")), reference)) << name;
        const Surface& surface = *DcSurface(canvas.dc);
        ASSERT_EQ(surface.width, reference.width) << name;
        ASSERT_EQ(surface.height, reference.height) << name;

        // Where the reference wraps, the oracle's geometric picture is the expectation.
        const bool wraps = kWrappingCases.count(name) > 0;
        test::OracleImage oracle;
        if (wraps || name == "gradrect_clipped") {
            ASSERT_TRUE(test::OracleRunScript(text, oracle)) << name;
        }
        std::int64_t equal = 0;
        std::int64_t geometric = 0;
        std::int64_t mismatches = 0;
        for (std::int32_t y = 0; y < surface.height; ++y) {
            for (std::int32_t x = 0; x < surface.width; ++x) {
                const std::uint32_t drawn = SurfaceRgb(surface, x, y);
                equal += drawn == ImageRgb(reference, x, y) ? 1 : 0;
                const bool byOracle = wraps || (name == "gradrect_clipped" && y >= kStripFirstRow && y < kStripEndRow);
                const std::uint32_t expected =
                    byOracle ? oracle.rgb[static_cast<std::size_t>(y * surface.width + x)] : ImageRgb(reference, x, y);
                geometric += byOracle && drawn == expected ? 1 : 0;
                if (drawn != expected && ++mismatches <= 3) {
                    ADD_FAILURE() << name << ": pixel (" << x << ", " << y << ") is " << std::hex << drawn
                                  << ", expected " << expected << (byOracle ? " (geometric)" : "");
                }
            }
        }
        const double pixels = static_cast<double>(surface.width) * surface.height;
        std::printf("%-28s reference %7.3f %%%s\n", name.c_str(), 100.0 * static_cast<double>(equal) / pixels,
                    wraps                          ? "  (reference wraps; geometric result checked)"
                    : name == "gradrect_clipped" ? "  (rows 25-34 wrap in the reference; geometric result checked)"
                                                 : "");
        EXPECT_EQ(mismatches, 0) << name;
        ScriptCanvasRelease(canvas);
    }
    EXPECT_EQ(LiveObjectCount(), objectsBefore);
}

// The oracle used for the wrapping cases must itself reproduce the ordinary reference images.
TEST(Conformance, OracleReproducesOrdinaryCases) {
    for (const char* name : {"tri_orient_cw_solidpen", "lines_ties", "bezier_random", "gradtri_random_colours",
                             "gradrect_reversed", "not_once_mesh", "pixels_in_and_out", "maskpennot_over_gradient",
                             "pen_and_brush_shapes", "huge_poly_100k_solidpen", "bezier_far_control"}) {
        test::OracleImage oracle;
        ASSERT_TRUE(test::OracleRunScript(ReadFile(kCases / (std::string(name) + ".txt")), oracle)) << name;
        RgbImage reference;
        ASSERT_TRUE(PpmParse(ReadFile(kCases / (std::string(name) + ".ppm")), reference)) << name;
        std::int64_t different = 0;
        for (std::int32_t y = 0; y < reference.height; ++y) {
            for (std::int32_t x = 0; x < reference.width; ++x) {
                different += oracle.rgb[static_cast<std::size_t>(y * reference.width + x)] != ImageRgb(reference, x, y);
            }
        }
        EXPECT_EQ(different, 0) << name;
    }
}

}  // namespace
}  // namespace vantrel
