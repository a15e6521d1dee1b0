#pragma once
// One scripted session both window layers play through their own window and events; the view
// it ends with must match outside the overlay text (the layers' fonts differ).
#include <cstdint>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/overlay.h"
#include "canvas/font_engine.h"

namespace vantrel::cross_host {

enum class Step { Command, Move, LeftDrag, LeftClick, Tick };
struct SessionStep {
    Step step;
    std::int32_t a = 0, b = 0;  // command id, or the client point
};
inline constexpr std::int32_t kClientWidth = 336, kClientHeight = 256;  // a 320 x 240 view
inline double FixedClock() { return 43200.0; }
inline constexpr SessionStep kSession[] = {
    {Step::Command, 35}, {Step::Tick}, {Step::Move, 160, 120}, {Step::LeftDrag, 130, 150}, {Step::Move, 130, 150},
    {Step::Tick}, {Step::Command, 26}, {Step::Command, 30}, {Step::Tick},  // Sphere, Gradient, Atmosphere
    {Step::Move, 328, 60}, {Step::LeftClick, 328, 60}, {Step::Move, 150, 130}, {Step::Tick},  // palette colour
    {Step::LeftClick, 150, 130}, {Step::Move, 20, 230}, {Step::Tick}};

// The view's 0x00RRGGBB pixels and the corner box the overlay may touch, as one layer showed them.
struct Picture {
    std::int32_t width = 0, height = 0, boxWidth = 0, boxHeight = 0;
    std::vector<std::uint32_t> pixels;
};

inline void MeasureOverlay(const Program& program, FontEngine& fonts, Picture& picture) {
    OverlayText text;
    BuildOverlayText(program.scene, program.orbit, text);
    TextSize size;
    for (std::int32_t row = 0; row < kOverlayRows; ++row) {
        fonts.Measure(text.rows[row], text.lengths[row], size);
        picture.boxWidth = std::max(picture.boxWidth, size.width + 4);  // room for antialiasing
    }
    picture.boxHeight = kOverlayRows * size.height + 4;
}

inline std::string GoldenPath() { return std::string(VANTREL_TEST_DATA) + "/golden/cross_host_view.ppm"; }

// A binary PPM with the box in a comment line.
inline bool WritePicture(const std::string& path, const Picture& p) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    std::fprintf(file, "P6\n# overlay %d %d\n%d %d\n255\n", p.boxWidth, p.boxHeight, p.width, p.height);
    for (std::uint32_t c : p.pixels) std::fputc(c >> 16 & 255, file), std::fputc(c >> 8 & 255, file), std::fputc(c & 255, file);
    return std::fclose(file) == 0;
}

inline bool ReadPicture(const std::string& path, Picture& p) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    bool ok = std::fscanf(file, "P6\n# overlay %d %d\n%d %d\n255", &p.boxWidth, &p.boxHeight, &p.width, &p.height) == 4 &&
              std::fgetc(file) == '\n';
    unsigned char rgb[3];
    for (std::int32_t i = 0; ok && i < p.width * p.height && std::fread(rgb, 1, 3, file) == 3; ++i) {
        p.pixels.push_back(std::uint32_t{rgb[0]} << 16 | std::uint32_t{rgb[1]} << 8 | rgb[2]);
    }
    std::fclose(file);
    return ok && p.pixels.size() == static_cast<std::size_t>(p.width) * p.height;
}

// Pixels that differ outside both boxes (-1 for other sizes); first names the first "x,y".
inline std::int32_t DifferencesOutsideOverlay(const Picture& a, const Picture& b, std::string& first) {
    if (a.width != b.width || a.height != b.height) return -1;
    std::int32_t count = 0;
    for (std::int32_t y = 0; y < a.height; ++y) {
        for (std::int32_t x = 0; x < a.width; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * a.width + x;
            if ((x < std::max(a.boxWidth, b.boxWidth) && y < std::max(a.boxHeight, b.boxHeight)) || a.pixels[i] == b.pixels[i]) continue;
            if (count++ == 0) first = std::to_string(x) + "," + std::to_string(y);
        }
    }
    return count;
}

// Compares with the committed picture, or writes it when VANTREL_UPDATE_GOLDEN is 1.
inline std::string CompareWithGolden(const Picture& shown) {
    const char* update = std::getenv("VANTREL_UPDATE_GOLDEN");
    if (update && std::string(update) == "1") return WritePicture(GoldenPath(), shown) ? "" : "cannot write " + GoldenPath();
    Picture golden;
    if (!ReadPicture(GoldenPath(), golden)) return "cannot read " + GoldenPath();
    std::string first;
    const std::int32_t differences = DifferencesOutsideOverlay(golden, shown, first);
    if (differences == 0) return "";
    WritePicture("cross_host_view.shown.ppm", shown);  // for a look at what differs
    return std::to_string(differences) + " pixels differ, the first at " + first + "; see cross_host_view.shown.ppm";
}

}  // namespace vantrel::cross_host
