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

}  // namespace vantrel
