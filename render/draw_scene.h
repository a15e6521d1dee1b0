#pragma once
// Stage 5 of a frame: the listed faces in the camera's drawing mode, farthest first, then the
// point, line, text and curve meshes on top.
#include <cstdint>

#include "render/projection.h"
#include "render/render_target.h"
#include "render/render_work.h"
#include "scene/scene.h"

namespace vantrel {

// The camera's renderMode values.
enum RenderMode : std::int32_t {
    kModeWireframe = 0,
    kModeSolid = 1,
    kModeShaded = 2,
    kModeTransparent = 3,
    kModeOutlined = 4,
    kModeGradient = 5,
};

// Draws the face's projected triangle, corners rounded to the nearest pixel, with the pen and
// brush currently selected into target.dc.
void DrawFacePolygon(RenderTarget& target, const Scene& scene, const RenderWork& work, std::int32_t face);

// Colours and draws the faces of drawList, then the primitive meshes; first paints the background
// over (0, 0)-background when that is not empty. Faces are drawn in bands of rows on the work's
// threads, viewRows (the view's height) being the part of the surface worth splitting. Every pen
// and brush it creates is deleted before it returns; the raster operation last set stays in the context.
void DrawScene(RenderTarget& target, const Scene& scene, RenderWork& work, SettingReports& reports,
               std::int32_t camera, std::int32_t viewRows, const PanelSize& background = {});

// DrawScene in two steps. ColourListedFaces shades and lists the faces into the work arrays,
// returning false when the frame must be drawn as one band; DrawListedFaces then draws them in
// the mode, reading nothing else, so it draws the same pixels again as long as the work stands.
bool ColourListedFaces(const Scene& scene, RenderWork& work, SettingReports& reports, std::int32_t camera);
void DrawListedFaces(RenderTarget& target, RenderWork& work, std::int32_t mode, std::int32_t viewRows,
                     const PanelSize& background, bool bandable);

}  // namespace vantrel
