#include "tools/canvas-replay/ppm.h"

#include <sstream>
#include <utility>

namespace vantrel {
namespace {

// Skips whitespace and '#' comments between header fields.
void SkipSeparators(std::string_view data, std::size_t& at) {
    while (at < data.size()) {
        if (data[at] == '#') {
            while (at < data.size() && data[at] != '\n') {
                ++at;
            }
        } else if (data[at] == ' ' || data[at] == '\t' || data[at] == '\n' || data[at] == '\r') {
            ++at;
        } else {
            return;
        }
    }
}

bool ReadHeaderNumber(std::string_view data, std::size_t& at, std::int64_t limit, std::int64_t& out) {
    SkipSeparators(data, at);
    out = 0;
    const std::size_t start = at;
    while (at < data.size() && data[at] >= '0' && data[at] <= '9') {
        out = out * 10 + (data[at++] - '0');
        if (out > limit) {
            return false;
        }
    }
    return at > start;
}

}  // namespace

bool PpmWrite(const Surface& surface, std::ostream& out) {
    out << "P6\n" << surface.width << " " << surface.height << "\n255\n";
    // One row at a time, so writing needs no second copy of the picture.
    std::vector<char> row(3 * static_cast<std::size_t>(surface.width));
    for (std::int32_t y = 0; y < surface.height && out; ++y) {
        const std::uint32_t* pixels = surface.pixels + static_cast<std::ptrdiff_t>(y) * surface.pitch;
        char* write = row.data();
        for (std::int32_t x = 0; x < surface.width; ++x) {
            *write++ = static_cast<char>((pixels[x] >> 16) & 0xFFu);
            *write++ = static_cast<char>((pixels[x] >> 8) & 0xFFu);
            *write++ = static_cast<char>(pixels[x] & 0xFFu);
        }
        out.write(row.data(), static_cast<std::streamsize>(row.size()));
    }
    return static_cast<bool>(out);
}

std::string PpmFromSurface(const Surface& surface) {
    std::ostringstream out;
    PpmWrite(surface, out);
    return std::move(out).str();
}

bool PpmParse(std::string_view data, RgbImage& out) {
    out = RgbImage{};
    if (data.substr(0, 2) != "P6") {
        return false;
    }
    std::size_t at = 2;
    std::int64_t width = 0, height = 0, maxValue = 0;
    if (!ReadHeaderNumber(data, at, kSurfaceMaxSide, width) || !ReadHeaderNumber(data, at, kSurfaceMaxSide, height) ||
        !ReadHeaderNumber(data, at, 65535, maxValue) || maxValue != 255 || width < 1 || height < 1) {
        return false;
    }
    // Exactly one whitespace byte separates the header from the pixels.
    if (at >= data.size()) {
        return false;
    }
    ++at;
    const std::size_t bytes = 3 * static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    if (data.size() - at < bytes) {
        return false;
    }
    out.width = static_cast<std::int32_t>(width);
    out.height = static_cast<std::int32_t>(height);
    out.rgb.assign(data.begin() + static_cast<std::ptrdiff_t>(at), data.begin() + static_cast<std::ptrdiff_t>(at + bytes));
    return true;
}

}  // namespace vantrel
