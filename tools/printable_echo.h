#pragma once
// User input quoted back in a message, safe for any terminal: printable ASCII as it is, a
// backslash doubled, every other byte as \xNN, and never more than 80 characters, of which the
// last three are "..." when the input did not fit.
#include <cstddef>
#include <string>
#include <string_view>

namespace vantrel {

inline constexpr std::size_t kEchoMaxCharacters = 80;

inline std::string PrintableEcho(std::string_view bytes) {
    const auto width = [](unsigned char c) -> std::size_t { return c == '\\' ? 2 : c >= 0x20 && c <= 0x7E ? 1 : 4; };
    constexpr std::size_t kEllipsis = 3;
    std::size_t total = 0;
    std::size_t fitting = 0;  // bytes that fit in front of an ellipsis
    for (std::size_t i = 0; i < bytes.size() && total <= kEchoMaxCharacters; ++i) {
        total += width(static_cast<unsigned char>(bytes[i]));
        if (total <= kEchoMaxCharacters - kEllipsis) fitting = i + 1;
    }
    const bool cut = total > kEchoMaxCharacters;
    const std::size_t shown = cut ? fitting : bytes.size();
    std::string out;
    out.reserve(cut ? kEchoMaxCharacters : total);
    for (std::size_t i = 0; i < shown; ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c == '\\') {
            out += "\\\\";
        } else if (width(c) == 1) {
            out += static_cast<char>(c);
        } else {
            static constexpr char kHex[] = "0123456789ABCDEF";
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 0xF];
        }
    }
    if (cut) out += "...";
    return out;
}

}  // namespace vantrel
