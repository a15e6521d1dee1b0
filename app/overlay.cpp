#include "app/overlay.h"

#include <cstring>
#include <numbers>

#include "geometry/rounding.h"
#include "canvas/canvas.h"

namespace vantrel {
namespace {

constexpr ColorRef kOverlayTextColor = 0x00FFFFFF;

std::int32_t CopyText(const char* text, std::int32_t limit, char* out) {
    std::int32_t length = 0;
    while (length < limit && text[length] != '\0') {
        out[length] = text[length];
        ++length;
    }
    out[length] = '\0';
    return length;
}

}  // namespace

std::int32_t OverlayDegrees(float radians) {
    // The conversion runs in extended precision before the one rounding step.
    const long double degrees = 180.0L * static_cast<long double>(radians) / std::numbers::pi_v<long double>;
    return RoundToInt(static_cast<double>(degrees));
}

std::int32_t FormatOverlayNumber(const char* label, std::int64_t value, char* out) {
    std::int32_t length = CopyText(label, kOverlayRowBytes - 32, out);
    out[length++] = value < 0 ? '-' : ' ';
    // Digits of the magnitude, built backwards; unsigned so the most negative value works too.
    std::uint64_t magnitude = value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    char digits[24];
    std::int32_t count = 0;
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    while (count > 0) out[length++] = digits[--count];
    out[length] = '\0';
    return length;
}

void BuildOverlayText(const Scene& scene, const Orbit& orbit, OverlayText& out) {
    out.lengths[0] = FormatOverlayNumber("Longitude:", OverlayDegrees(orbit.longitude), out.rows[0]);
    out.lengths[1] = FormatOverlayNumber("Latitude:", OverlayDegrees(orbit.latitude), out.rows[1]);
    out.lengths[2] = FormatOverlayNumber("Radius:", RoundToInt(orbit.radius), out.rows[2]);
    out.rows[3][0] = '\0';
    out.lengths[3] = 0;

    // Slot 0 is the empty entry: no name and counts of 0. Slots outside the table read as it.
    const std::int32_t slot = scene.currentMesh;
    const Mesh& mesh = slot > 0 && slot <= kLastSlot ? scene.meshTable[slot] : scene.meshTable[0];
    std::int32_t length = CopyText("Name: ", 8, out.rows[4]);
    // A name without a terminator stops at the field's end rather than reading past it.
    length += CopyText(mesh.name, kMeshNameBytes, out.rows[4] + length);
    out.lengths[4] = length;
    out.lengths[5] = FormatOverlayNumber("Vertices:", mesh.vertexCount, out.rows[5]);
    out.lengths[6] = FormatOverlayNumber("Faces:", mesh.faceCount, out.rows[6]);
}

void DrawInformationOverlay(Program& program) {
    OverlayText text;
    BuildOverlayText(program.scene, program.orbit, text);
    DrawOverlayText(program.target.dc, text);
    DescribeOverlay(program, text);
}

void DrawOverlayText(DcHandle dc, const OverlayText& text) {
    // The panel font stays selected afterwards; colour and background mode are put back.
    SelectObject(dc, GetStockObject(ANSI_VAR_FONT));
    const ColorRef previousColor = SetTextColor(dc, kOverlayTextColor);
    const std::int32_t previousMode = SetBkMode(dc, TRANSPARENT);

    // One measurement: the first row's height is the line height of every row.
    TextSize size;
    GetTextExtentPoint32(dc, text.rows[0], text.lengths[0], size);
    for (std::int32_t row = 0; row < kOverlayRows; ++row) {
        if (row == 3) continue;  // the gap between the orbit rows and the mesh rows
        TextOut(dc, 0, row * size.height, text.rows[row], text.lengths[row]);
    }

    SetTextColor(dc, previousColor);
    SetBkMode(dc, previousMode);
}

void DescribeOverlay(Program& program, const OverlayText& text) {
    static_assert((kOverlayRows - 1) * kOverlayRowBytes <= kViewDescriptionBytes);
    char joined[kViewDescriptionBytes];
    std::size_t length = 0;
    for (std::int32_t row = 0; row < kOverlayRows; ++row) {
        if (row == 3) continue;
        if (length > 0) joined[length++] = '\n';
        std::memcpy(joined + length, text.rows[row], static_cast<std::size_t>(text.lengths[row]));
        length += static_cast<std::size_t>(text.lengths[row]);
    }
    joined[length] = '\0';
    if (std::strcmp(joined, program.shell.viewDescription) == 0) return;
    std::memcpy(program.shell.viewDescription, joined, length + 1);
    program.host->DescribeView(joined);
}

}  // namespace vantrel
