#pragma once
// One frame of the scene into the render target: the five stages in order.
#include <cstdint>

#include "render/projection.h"
#include "render/render_target.h"
#include "render/render_work.h"
#include "scene/scene.h"

namespace vantrel {

// Renders the scene as seen by the camera slot into target.dc over a view panel of the given
// size (the caller paints the background first). Writes the work arrays, the meshes' world
// matrices and the camera's view matrix. Bad camera or light settings are reported at most
// once per check and frame, and the frame completes with the fallback values. A camera slot
// outside the table draws nothing.
void RenderFrame(Scene& scene, RenderWork& work, RenderTarget& target, std::int32_t camera,
                 const PanelSize& panel);
// The background over the view panel, then the frame as RenderFrame draws it, both in the same
// pass of bands so each band's rows are written while they are in the cache.
void RenderView(Scene& scene, RenderWork& work, RenderTarget& target, std::int32_t camera,
                const PanelSize& panel);

// RenderView in two steps. PrepareView runs the stages up to drawing (errors are reported here);
// DrawPreparedView draws the background and faces from the work arrays alone, then the scene's
// primitive meshes, so while the work stands it draws the same frame again into any surface.
struct PreparedView {
    bool camera = false;      // false: no camera in the slot, the background alone
    std::int32_t mode = 0;    // the camera's drawing mode
    PanelSize panel;          // the view, in device pixels
    bool bandable = true;
    bool primitives = false;  // the scene has point, line, text or curve meshes, which are drawn from it
};
PreparedView PrepareView(Scene& scene, RenderWork& work, std::int32_t camera, const PanelSize& panel);
void DrawPreparedView(RenderTarget& target, const Scene& scene, RenderWork& work, const PreparedView& view);

}  // namespace vantrel
