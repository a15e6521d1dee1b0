#include "geometry/color.h"

#include "geometry/random.h"
#include "geometry/rounding.h"

namespace vantrel {

void ColorAdd(const ColorRGB& a, const ColorRGB& b, ColorRGB& out) {
    out = {SaturateChannel(a.r + b.r), SaturateChannel(a.g + b.g), SaturateChannel(a.b + b.b)};
}

void ColorScale(const ColorRGB& c, float f, ColorRGB& out) {
    out = {RoundToByte(double(c.r) * f), RoundToByte(double(c.g) * f), RoundToByte(double(c.b) * f)};
}

namespace {
std::uint8_t LerpChannel(std::uint8_t a, std::uint8_t b, float t) {
    return RoundToByte(double(a) + (double(b) - double(a)) * double(t));
}
}  // namespace

void ColorLerp(const ColorRGB& a, const ColorRGB& b, float t, ColorRGB& out) {
    out = {LerpChannel(a.r, b.r, t), LerpChannel(a.g, b.g, t), LerpChannel(a.b, b.b, t)};
}

void ColorRandom(Random& random, ColorRGB& out) {
    const std::uint8_t r = RoundToByte(double(RandomUniform(random)) * 255.0);
    const std::uint8_t g = RoundToByte(double(RandomUniform(random)) * 255.0);
    const std::uint8_t b = RoundToByte(double(RandomUniform(random)) * 255.0);
    out = {r, g, b};
}

void ColorFromColorRef(ColorRef ref, ColorRGB& out) {
    out = {static_cast<std::uint8_t>(ref & 0xFF), static_cast<std::uint8_t>((ref & 0xFF00) / 256),
           static_cast<std::uint8_t>((ref & 0xFF0000) / 65536)};
}

ColorRef ColorToColorRef(const ColorRGB& color) {
    return ColorRef(color.r) + 256u * color.g + 65536u * color.b;
}

}  // namespace vantrel
