#pragma once
// One scripted session both window layers play through their own window and events, and the
// view's pixels it ends with, compared outside the overlay text (the two layers' fonts differ).
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "app/overlay.h"
#include "canvas/font_engine.h"

namespace vantrel::cross_host {

enum class Step { Command, Move, LeftDrag, LeftClick, Tick };
struct SessionStep {
    Step step;
    std::int32_t a = 0;  // command id, or the client point
    std::int32_t b = 0;
};

inline constexpr std::int32_t kClientWidth = 336;  // a 320 x 240 view
inline constexpr std::int32_t kClientHeight = 256;
inline double FixedClock() { return 43200.0; }

inline constexpr SessionStep kSession[] = {
    {Step::Command, 35}, {Step::Tick},  // Sphere
    {Step::Move, 160, 120}, {Step::LeftDrag, 130, 150}, {Step::Move, 130, 150}, {Step::Tick},
    {Step::Command, 26}, {Step::Command, 30}, {Step::Tick},  // Gradient, Atmosphere
    {Step::Move, 328, 60}, {Step::LeftClick, 328, 60},       // a colour from the palette
    {Step::Move, 150, 130}, {Step::Tick}, {Step::LeftClick, 150, 130}, {Step::Move, 20, 230}, {Step::Tick},
};

// The overlay's rows as this font engine draws them now, with room for antialiasing.
inline void OverlayBox(const Program& program, FontEngine& fonts, std::int32_t& width, std::int32_t& height) {
    OverlayText text;
    BuildOverlayText(program.scene, program.orbit, text);
    width = 0;
    TextSize size;
    for (std::int32_t row = 0; row < kOverlayRows; ++row) {
        fonts.Measure(text.rows[row], text.lengths[row], size);
        if (size.width > width) width = size.width;
    }
    width += 4;
    height = kOverlayRows * size.height + 4;
}

// 0x00RRGGBB pixels, row by row.
struct Picture {
    std::int32_t width = 0, height = 0;
    std::int32_t boxWidth = 0, boxHeight = 0;  // the overlay of the layer that made it
    std::vector<std::uint32_t> pixels;
};

inline bool WritePicture(const std::string& path, const Picture& picture) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    std::fprintf(file, "P6\n# overlay %d %d\n%d %d\n255\n", picture.boxWidth, picture.boxHeight, picture.width, picture.height);
    for (std::uint32_t p : picture.pixels) {
        const unsigned char rgb[3] = {static_cast<unsigned char>(p >> 16), static_cast<unsigned char>(p >> 8),
                                      static_cast<unsigned char>(p)};
        std::fwrite(rgb, 1, 3, file);
    }
    return std::fclose(file) == 0;
}

inline bool ReadPicture(const std::string& path, Picture& picture) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    int maximum = 0;
    bool ok = std::fscanf(file, "P6\n# overlay %d %d\n%d %d\n%d", &picture.boxWidth, &picture.boxHeight, &picture.width,
                          &picture.height, &maximum) == 5 &&
              std::fgetc(file) == '\n' && maximum == 255 && picture.width > 0 && picture.height > 0;
    picture.pixels.clear();
    for (std::int32_t i = 0; ok && i < picture.width * picture.height; ++i) {
        unsigned char rgb[3];
        ok = std::fread(rgb, 1, 3, file) == 3;
        picture.pixels.push_back(std::uint32_t{rgb[0]} << 16 | std::uint32_t{rgb[1]} << 8 | rgb[2]);
    }
    std::fclose(file);
    return ok;
}

// Pixels that differ outside both overlays, and the first of them in "x,y" form.
inline std::int32_t DifferencesOutsideOverlay(const Picture& a, const Picture& b, std::string& first) {
    if (a.width != b.width || a.height != b.height) return -1;
    const std::int32_t boxWidth = a.boxWidth > b.boxWidth ? a.boxWidth : b.boxWidth;
    const std::int32_t boxHeight = a.boxHeight > b.boxHeight ? a.boxHeight : b.boxHeight;
    std::int32_t count = 0;
    for (std::int32_t y = 0; y < a.height; ++y) {
        for (std::int32_t x = 0; x < a.width; ++x) {
            if (x < boxWidth && y < boxHeight) continue;
            const std::size_t i = static_cast<std::size_t>(y) * a.width + x;
            if (a.pixels[i] == b.pixels[i]) continue;
            if (count++ == 0) first = std::to_string(x) + "," + std::to_string(y);
        }
    }
    return count;
}

inline std::string GoldenPath() { return std::string(VANTREL_TEST_DATA) + "/golden/cross_host_view.ppm"; }

}  // namespace vantrel::cross_host
