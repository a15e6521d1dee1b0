#pragma once
// Binary PPM images (P6, 8-bit channels) of canvas surfaces.
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "canvas/surface.h"

namespace vantrel {

struct RgbImage {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint8_t> rgb;  // rows top first, 3 bytes per pixel
};

// "P6\n<W> <H>\n255\n" followed by the pixels. False when the stream failed.
bool PpmWrite(const Surface& surface, std::ostream& out);
std::string PpmFromSurface(const Surface& surface);
// Reads a P6 image with maxval 255 (comments and any whitespace in the header allowed).
bool PpmParse(std::string_view data, RgbImage& out);

}  // namespace vantrel
