#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "canvas/canvas.h"
#include "canvas/gradient_fill.h"
#include "canvas/pixel_paths.h"
#include "frame_fixture.h"
#include "geometry/random.h"
#include "objects/command_ids.h"
#include "objects/object_commands.h"
#include "render/draw_scene.h"
#include "render/render_threads.h"

// Whole frames compared pixel for pixel with images committed under tests/data/golden.
// After a deliberate change of the picture, regenerate them with VANTREL_UPDATE_GOLDEN=1,
// look at every image and commit them.
namespace vantrel {
namespace {

constexpr PanelSize kGoldenPanel{160, 120};

std::string GoldenPath(const std::string& name) { return std::string(VANTREL_TEST_DATA) + "/golden/" + name + ".ppm"; }

// Binary PPM (P6): a text header, then red, green, blue bytes row by row.
bool WritePpm(const std::string& path, const std::vector<ColorRef>& pixels, PanelSize size) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    std::fprintf(file, "P6\n%d %d\n255\n", size.width, size.height);
    for (ColorRef pixel : pixels) {
        const unsigned char rgb[3] = {static_cast<unsigned char>(pixel & 0xFF),
                                      static_cast<unsigned char>((pixel >> 8) & 0xFF),
                                      static_cast<unsigned char>((pixel >> 16) & 0xFF)};
        std::fwrite(rgb, 1, 3, file);
    }
    return std::fclose(file) == 0;
}

bool ReadPpm(const std::string& path, PanelSize size, std::vector<ColorRef>& pixels) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    int width = 0, height = 0, maximum = 0;
    const bool header = std::fscanf(file, "P6 %d %d %d", &width, &height, &maximum) == 3 && std::fgetc(file) == '\n';
    bool ok = header && width == size.width && height == size.height && maximum == 255;
    pixels.clear();
    for (std::int32_t i = 0; ok && i < width * height; ++i) {
        unsigned char rgb[3];
        ok = std::fread(rgb, 1, 3, file) == 3;
        pixels.push_back(ColorRef(rgb[0]) | ColorRef(rgb[1]) << 8 | ColorRef(rgb[2]) << 16);
    }
    std::fclose(file);
    return ok;
}

void ExpectMatchesGolden(FrameFixture& f, const std::string& name) {
    const std::vector<ColorRef> frame = f.Snapshot();
    const std::string path = GoldenPath(name);
    const char* update = std::getenv("VANTREL_UPDATE_GOLDEN");
    if (update != nullptr && std::string(update) == "1") {
        ASSERT_TRUE(WritePpm(path, frame, f.panel)) << path;
        return;
    }
    std::vector<ColorRef> golden;
    ASSERT_TRUE(ReadPpm(path, f.panel, golden)) << "missing or unreadable golden frame " << path;
    std::int32_t differing = 0, first = -1;
    for (std::size_t i = 0; i < frame.size(); ++i) {
        if (frame[i] == golden[i]) continue;
        if (first < 0) first = static_cast<std::int32_t>(i);
        ++differing;
    }
    EXPECT_EQ(differing, 0) << name << ": first difference at (" << first % f.panel.width << ", "
                            << first / f.panel.width << ")";
}

// Object > name with a fixed seed, then Edit > Random colours, so neighbouring faces differ.
void BuildObject(FrameFixture& f, int command, double seed) {
    Random random;
    RandomSeed(random, seed);
    RunObjectCommand(*f.scene, random, command);
    RunEditCommand(*f.scene, random, kCommandColorRandom);
}

TEST(GoldenFrames, SphereAtTheStartUpOrbitInEveryMode) {
    const char* names[] = {"wireframe", "solid", "shaded", "transparent", "outlined", "gradient"};
    for (std::int32_t mode = kModeWireframe; mode <= kModeGradient; ++mode) {
        FrameFixture f(kGoldenPanel);
        BuildObject(f, kCommandSphere, 43200.0);
        f.camera().renderMode = mode;
        f.RenderOnBackground();
        ExpectMatchesGolden(f, std::string("sphere_") + names[mode]);
    }
}

TEST(GoldenFrames, TorusFromAboveWithEffects) {
    FrameFixture f(kGoldenPanel);
    BuildObject(f, kCommandTorus, 45000.5);
    f.PlaceCamera(0.6f, 0.7f, 150);
    f.RenderOnBackground();
    ExpectMatchesGolden(f, "torus_shaded");
    f.camera().metallic = kTrue;
    f.camera().doubleSided = kTrue;
    f.camera().renderMode = kModeGradient;
    f.RenderOnBackground();
    ExpectMatchesGolden(f, "torus_gradient_metallic_double_sided");
    f.camera().renderMode = kModeShaded;
    f.RenderOnBackground();
    ExpectMatchesGolden(f, "torus_shaded_metallic_double_sided");
    f.camera().orthographic = 8;
    f.camera().orthoScale = 1.5f;
    f.camera().renderMode = kModeSolid;
    f.RenderOnBackground();
    ExpectMatchesGolden(f, "torus_solid_orthographic");
}

TEST(GoldenFrames, ScattersOverTheBackground) {
    const std::pair<int, const char*> scatters[] = {
        {kCommandPixel, "scatter_pixel"}, {kCommandLine, "scatter_line"},
        {kCommandText, "scatter_text"}, {kCommandCurve, "scatter_curve"}};
    for (const auto& [command, name] : scatters) {
        FrameFixture f(kGoldenPanel);
        Random random;
        RandomSeed(random, 50000.125);
        RunObjectCommand(*f.scene, random, command);
        f.RenderOnBackground();
        ExpectMatchesGolden(f, name);
    }
}

// Bands and threads change no pixel: random scenes in every mode and effect, drawn in one pass on
// one thread farthest first, then nearest first where that applies, with the background in bands
// of random heights on 2, 3 and 8 threads, over a surface that is sometimes taller and wider than
// the view (the rows below it are a band too), and once in bands taller than a coverage.
TEST(GoldenFrames, BandsAndThreadsDrawTheSamePixels) {
    const int objects[] = {kCommandSphere, kCommandTorus, kCommandPieGraph, kCommandRipple, kCommandText, kCommandCurve};
    Random random;
    RandomSeed(random, 12345.5);
    const auto surfacePixels = [](FrameFixture& f) {
        const Surface& s = *DcSurface(f.target.dc);
        return std::vector<std::uint32_t>(s.pixels, s.pixels + std::size_t(s.pitch) * std::size_t(s.height));
    };
    // Each frame starts over the same junk, so a pixel a frame leaves undrawn shows.
    const auto scribble = [](FrameFixture& f) {
        const Surface& s = *DcSurface(f.target.dc);
        std::fill(s.pixels, s.pixels + std::size_t(s.pitch) * std::size_t(s.height), 0xFF5A3C1Eu);
    };
    // Scenes 24 .. 31 are Gradient, 32 .. 35 spheres and a torus, Shaded, Solid and Transparent with every
    // effect (back faces too: overlap).
    for (std::int32_t scene = 0; scene < 36; ++scene) {
        const bool tall = scene == 30 || scene == 34, effects = scene >= 32;
        FrameFixture f(tall ? PanelSize{48, kCoverageRows + 100} : kGoldenPanel);
        BuildObject(f, effects ? objects[scene % 2] : objects[scene % 6], 1000.0 + scene);
        const float distance = 40 + 200 * RandomUniform(random);
        f.PlaceCamera(6.3f * RandomUniform(random), 1.4f * RandomUniform(random) - 0.7f, scene == 35 ? 25 : distance);
        Camera& camera = f.camera();
        const std::int32_t effectModes[] = {kModeShaded, kModeSolid, kModeSolid, kModeTransparent};
        camera.renderMode = scene < 24 ? (scene / 4) % 6 : effects ? effectModes[scene - 32] : kModeGradient;
        camera.doubleSided = (scene & 1) | effects;
        camera.metallic = ((scene >> 1) & 1) | effects;
        camera.atmosphere = ((scene / 3) & 1) | effects;
        camera.atmosphereFar = 300;
        if (scene % 5 == 4) {
            camera.orthographic = 8;
            camera.orthoScale = 0.5f + 3 * RandomUniform(random);
        }
        if (scene == 19) camera.orthoScale = 3e7f;  // corners beyond the 32-bit range: one band
        if (scene % 3 == 1) f.panel = {131, 97};
        if (scene == 35) f.panel = {40, 97};  // near, so faces spill right of the view
        f.work->threads = std::make_unique<RenderThreads>(1);
        f.work->bandRows = 1000;
        f.work->faceOrder = FaceOrder::FarthestFirst;
        scribble(f);
        f.RenderOnBackground();
        const std::vector<std::uint32_t> reference = surfacePixels(f);
        for (std::int32_t threads : {1, 2, 3, 8}) {
            f.work->threads = std::make_unique<RenderThreads>(threads);
            f.work->bandRows = tall ? 1000 : 1 + static_cast<std::int32_t>(40 * RandomUniform(random));
            // Rows of one run run out at once, and those bands are drawn again farthest first.
            f.work->coveredRuns = threads == 3 ? 1 : kCoveredRunsPerRow;
            f.work->faceOrder = threads == 2 ? FaceOrder::ByOverlap : FaceOrder::NearestFirst;
            scribble(f);
            // The pixel paths take turns (Sse2, Avx2, Portable, Avx2), as each must write the same pixels.
            const PixelPath widest = LimitPixelPath(static_cast<PixelPath>(threads % 3));
            if (threads == 1) {
                f.work->bandRows = 1000;
                f.RenderOnBackground();
            } else {
                RenderView(*f.scene, *f.work, f.target, 1, f.panel);
            }
            LimitPixelPath(widest);
            EXPECT_TRUE(surfacePixels(f) == reference) << "scene " << scene << ", mode " << camera.renderMode << ", "
                                                       << threads << " threads, bands of " << f.work->bandRows;
        }
    }
}

// Overlapping triangles drawn nearest first give the pixels of drawing them farthest first, also
// with corners far off the surface, whose ramps take 128 bits.
TEST(GradientNearestFirst, DrawsThePixelsOfPaintersOrder) {
    constexpr std::int32_t kSide = 48;
    std::vector<std::uint32_t> painted(kSide * kSide), nearestFirst(kSide * kSide);
    const DcHandle dc = CreateCompatibleDC(nullptr);
    const ObjectHandle bitmap = CreateBitmapOver(Surface{kSide, kSide, kSide, painted.data()});
    SelectObject(dc, bitmap);
    const auto coverage = std::make_unique<RowCoverage>();
    Random random;
    RandomSeed(random, 777.25);
    const auto coordinate = [&] {
        return std::int32_t((RandomUniform(random) < 0.2f ? 1 << 24 : 40) * (RandomUniform(random) - 0.5f)) + 24;
    };
    for (std::int32_t round = 0; round < 40; ++round) {
        TriVertex triangles[12][3];
        for (auto& triangle : triangles)
            for (TriVertex& corner : triangle)
                corner = TriVertexFromColorRef(coordinate(), coordinate(), ColorRef(0xFFFFFF * RandomUniform(random)));
        std::fill(painted.begin(), painted.end(), 0xFF000000u);
        std::fill(nearestFirst.begin(), nearestFirst.end(), 0xFF000000u);
        const GradientTriangleMesh mesh{0, 1, 2};
        for (const auto& triangle : triangles) GradientFill(dc, triangle, 3, &mesh, 1, GRADIENT_FILL_TRIANGLE);
        *BitmapSurface(bitmap) = Surface{kSide, kSide, kSide, nearestFirst.data()};
        ClearCoverage(*coverage, kSide);
        for (std::int32_t i = 11; i >= 0; --i) ASSERT_TRUE(GradientTriangleUncovered(dc, triangles[i], *coverage));
        *BitmapSurface(bitmap) = Surface{kSide, kSide, kSide, painted.data()};
        EXPECT_TRUE(painted == nearestFirst) << "round " << round;
    }
    DeleteDC(dc);
    DeleteObject(bitmap);
}

TEST(RenderThreads, TheVariableTakesOneDigitFromOneToEight) {
    const std::pair<const char*, std::int32_t> values[] = {{"1", 1}, {"3", 3}, {"8", 8},  {"0", 0},   {"9", 0},
                                                           {"", 0},  {"12", 0}, {" 2", 0}, {"2x", 0}, {nullptr, 0}};
    for (const auto& [value, count] : values) EXPECT_EQ(RenderThreadCountFrom(value), count) << (value ? value : "unset");
}

}  // namespace
}  // namespace vantrel
