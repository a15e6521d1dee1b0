#pragma once
// Stage 3 of a frame: view space to view-panel pixels and normalised depth.
#include <cstdint>

#include "geometry/matrix.h"
#include "render/render_work.h"
#include "scene/scene.h"

namespace vantrel {

// The size of the view panel's client area in pixels.
struct PanelSize {
    std::int32_t width = 0;
    std::int32_t height = 0;
};

// The projection for a view-space point (x, y, z): perspective lands it at
// (hw + sx * x / (e * z), hh - sy * y / (e * z)) with e = a / near, orthographic at
// (hw + k * x, hh - k * y); depth is 0 on the near plane and 1 on the far plane.
// Unless near > 0 and far > near, out is the all-zero matrix and kFalse is returned
// (the caller reports).
Truth BuildProjection(float a, float nearClip, float farClip, float sx, float sy, float hw, float hh,
                      std::int32_t orthographic, float k, Matrix4& out);

// Projects every visible mesh into screenVertices. Bad clip distances are reported and leave
// every vertex at its last good projection; a vertex in the eye plane keeps its old value too.
void ProjectVertices(Scene& scene, RenderWork& work, SettingReports& reports, std::int32_t camera,
                     const PanelSize& panel);

}  // namespace vantrel
