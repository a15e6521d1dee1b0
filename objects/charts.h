#pragma once
// Charts of a value list and the ripple surface. Heights are relative to the largest value,
// pie sweeps to the sum. Each chart is one mesh, centred on the origin by its bounding box.
#include <cstdint>
#include <span>

#include "geometry/color.h"
#include "geometry/vector.h"
#include "objects/lattice.h"
#include "scene/scene.h"

namespace vantrel {

// A columns x rows layout of square bars (values row by row), size = (x spread, tallest bar,
// z spread), each bar coloured by its entry with shine 0.5. Not welded: every bar keeps its
// 8 vertices and 12 faces, the last-built bar first. Missing values stand at 0; a single row
// or column sits at 0 on its axis. Returns the chart's slot or 0.
std::int32_t MakeBarGraph(Scene& scene, std::int32_t columns, std::int32_t rows, const Vector3& size, float barWidth,
                          std::span<const float> values, std::span<const ColorRef> colors);
// A height field of columns x rows vertices over size.x by size.z, the largest value size.y high,
// faces shaded from low to high colour by the height of their centroids.
std::int32_t MakeGridGraph(Scene& scene, std::int32_t columns, std::int32_t rows, const Vector3& size,
                           std::span<const float> values, const ColorRGB& low, const ColorRGB& high, FaceSides sides);
// One pie wedge per value, together once round the circle from +z towards +x, each welded on its
// own and coloured by its entry with shine 0.5. A list summing to 0 or less gives no chart (0).
std::int32_t MakePieGraph(Scene& scene, float radius, float height, std::int32_t segments,
                          std::span<const float> values, std::span<const ColorRef> colors);
// y = height / 2 * sin(2 pi d / wavelength + phase), d being the vertex's distance from the origin.
void RippleMesh(Scene& scene, std::int32_t mesh, float wavelength, float height, float phase);

}  // namespace vantrel
