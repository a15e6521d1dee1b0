#pragma once
// RGB byte colours. Channel results saturate at 255 and round halves to even.
#include <cstdint>

namespace vantrel {

struct Random;

struct ColorRGB {
    std::uint8_t r = 0, g = 0, b = 0;
};

// A colour as the drawing interface takes it: 0x00BBGGRR, red in the low byte.
using ColorRef = std::uint32_t;

void ColorAdd(const ColorRGB& a, const ColorRGB& b, ColorRGB& out);
void ColorScale(const ColorRGB& c, float f, ColorRGB& out);
void ColorLerp(const ColorRGB& a, const ColorRGB& b, float t, ColorRGB& out);
// Channels drawn in the order r, g, b, each the nearest integer to u * 255.
void ColorRandom(Random& random, ColorRGB& out);
void ColorFromColorRef(ColorRef ref, ColorRGB& out);
ColorRef ColorToColorRef(const ColorRGB& color);
inline bool operator==(const ColorRGB& a, const ColorRGB& b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

}  // namespace vantrel
