#include "objects/charts.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "objects/mesh_colors.h"
#include "objects/solids.h"
#include "scene/mesh_store.h"

namespace vantrel {

namespace {

constexpr float kChartShine = 0.5f;

float LargestValue(std::span<const float> values) {
    float largest = 0;  // the largest value, starting from 0
    for (float value : values) largest = std::max(largest, value);
    return largest;
}

float ValueAt(std::span<const float> values, std::size_t k) { return k < values.size() ? values[k] : 0.0f; }

// Height relative to the largest value; all zero when nothing is above 0.
float RelativeHeight(float value, float largest, float fullHeight) {
    return largest > 0 ? value / largest * fullHeight : 0.0f;
}

ColorRGB ColorAt(std::span<const ColorRef> colors, std::size_t k) {
    ColorRGB color;
    if (k < colors.size()) ColorFromColorRef(colors[k], color);
    return color;
}

// Position of item index (0-based) of count spread evenly over extent; a lone item sits at 0.
float Spread(float extent, std::int32_t index, std::int32_t count) {
    return count > 1 ? extent * static_cast<float>(index) / static_cast<float>(count - 1) : 0.0f;
}

// Merges the newest piece in front of the chart so far; on failure deletes both and returns 0.
std::int32_t AddToChart(Scene& scene, std::int32_t piece, std::int32_t chart) {
    if (chart == 0) return piece;
    const std::int32_t merged = MergeMeshes(scene, piece, chart);
    if (merged == 0) {
        DeleteMesh(scene, piece);
        DeleteMesh(scene, chart);
    }
    return merged;
}

// A failed piece abandons the chart built so far.
std::int32_t AbandonChart(Scene& scene, std::int32_t chart) {
    if (chart != 0) DeleteMesh(scene, chart);
    return 0;
}

}  // namespace

std::int32_t MakeBarGraph(Scene& scene, std::int32_t columns, std::int32_t rows, const Vector3& size, float barWidth,
                          std::span<const float> values, std::span<const ColorRef> colors) {
    if (columns < 1 || rows < 1) return 0;
    const float largest = LargestValue(values);
    std::int32_t chart = 0;
    std::size_t k = 0;
    for (std::int32_t i = 0; i < rows; ++i) {
        for (std::int32_t j = 0; j < columns; ++j, ++k) {
            const float height = RelativeHeight(ValueAt(values, k), largest, size.y);
            const std::int32_t bar = MakeBox(scene, {barWidth, height, barWidth});
            if (bar == 0) return AbandonChart(scene, chart);
            Matrix4 shift;
            MatTranslation({Spread(size.x, j, columns), 0, Spread(size.z, i, rows)}, shift);
            TransformMesh(scene, bar, shift);
            SetMeshColor(scene, bar, ColorAt(colors, k), kChartShine);
            chart = AddToChart(scene, bar, chart);
            if (chart == 0) return 0;
        }
    }
    CentreMesh(scene, chart);
    return chart;
}

std::int32_t MakeGridGraph(Scene& scene, std::int32_t columns, std::int32_t rows, const Vector3& size,
                           std::span<const float> values, const ColorRGB& low, const ColorRGB& high, FaceSides sides) {
    const std::int32_t mesh = MakeGrid(scene, size.x, size.z, columns - 1, rows - 1, sides);
    if (mesh == 0) return 0;
    const float largest = LargestValue(values);
    // The grid keeps its row-by-row vertex order: nothing in it is welded away.
    const Mesh& grid = scene.meshTable[mesh];
    for (std::int32_t k = 0; k < grid.vertexCount; ++k) {
        scene.vertexPool[grid.firstVertex + k].y =
            RelativeHeight(ValueAt(values, static_cast<std::size_t>(k)), largest, size.y);
    }
    GradientFaceColors(scene, mesh, MeshAxis::Y, low, high, kChartShine);
    CentreMesh(scene, mesh);
    return mesh;
}

std::int32_t MakePieGraph(Scene& scene, float radius, float height, std::int32_t segments,
                          std::span<const float> values, std::span<const ColorRef> colors) {
    float total = 0;
    for (float value : values) total += value;
    if (!(total > 0) || !std::isfinite(total)) return 0;
    std::int32_t chart = 0;
    float end = 0;  // degrees
    for (std::size_t k = 0; k < values.size(); ++k) {
        const float start = end;
        end = start + values[k] / total * 360.0f;
        const std::int32_t wedge = MakePie(scene, radius, height, start, end, segments);
        if (wedge == 0) return AbandonChart(scene, chart);
        SetMeshColor(scene, wedge, ColorAt(colors, k), kChartShine);
        chart = AddToChart(scene, wedge, chart);
        if (chart == 0) return 0;
    }
    CentreMesh(scene, chart);
    return chart;
}

void RippleMesh(Scene& scene, std::int32_t mesh, float wavelength, float height, float phase) {
    if (!IsLiveMesh(scene, mesh) || wavelength == 0) return;
    const Mesh& target = scene.meshTable[mesh];
    for (std::int32_t v = target.firstVertex; v <= LastVertex(target); ++v) {
        Vector3& vertex = scene.vertexPool[v];
        const double distance = VecLength(vertex);
        const double angle = 2.0 * std::numbers::pi * distance / wavelength + phase;
        vertex.y = static_cast<float>(height / 2.0 * std::sin(angle));
    }
}

}  // namespace vantrel
