#pragma once
// The information overlay: seven rows of white text over the top-left corner of each frame,
// showing the orbit position and the current mesh's name and size.
#include <cstdint>

#include "app/overlay_text.h"
#include "app/program.h"

namespace vantrel {

// An angle in radians as the overlay shows it: whole degrees, halves to even.
std::int32_t OverlayDegrees(float radians);
// Writes the label and the number: a space before zero and positive numbers, "-" before
// negative ones, no grouping. Returns the length written (out holds at least 32 bytes more
// than the label).
std::int32_t FormatOverlayNumber(const char* label, std::int64_t value, char* out);
// The rows as they read now: longitude and latitude in whole degrees, the radius, an empty
// row, the current mesh's name, vertex count and face count.
void BuildOverlayText(const Scene& scene, const Orbit& orbit, OverlayText& out);
// Builds the rows, draws them into the back buffer and describes them.
void DrawInformationOverlay(Program& program);
// Draws the rows, one line height apart, without a background box.
void DrawOverlayText(DcHandle dc, const OverlayText& text);
// Tells the host the rows as one text, a row a line without the empty one, when they differ
// from what it was told last.
void DescribeOverlay(Program& program, const OverlayText& text);

}  // namespace vantrel
