// Runs the stages over all their data, one after the other; writes every work array.
#include "render/render_frame.h"

#include "render/collect_faces.h"
#include "render/draw_scene.h"
#include "render/drawing_tools.h"
#include "render/transform.h"

namespace vantrel {

namespace {

void RenderFrameOver(Scene& scene, RenderWork& work, RenderTarget& target, std::int32_t camera,
                     const PanelSize& panel, const PanelSize& background) {
    SettingReports reports;
    UpdateWorldVertices(scene, work);
    UpdateViewVertices(scene, work, camera);
    ProjectVertices(scene, work, reports, camera, panel);
    CollectVisibleFaces(scene, work, camera);
    DrawScene(target, scene, work, reports, camera, panel.height, background);
}

}  // namespace

void RenderFrame(Scene& scene, RenderWork& work, RenderTarget& target, std::int32_t camera,
                 const PanelSize& panel) {
    if (!SlotInTable(camera)) return;
    RenderFrameOver(scene, work, target, camera, panel, {});
}

void RenderView(Scene& scene, RenderWork& work, RenderTarget& target, std::int32_t camera,
                const PanelSize& panel) {
    if (!SlotInTable(camera)) {
        DrawBackground(target.dc, static_cast<float>(panel.width), static_cast<float>(panel.height));
        return;
    }
    RenderFrameOver(scene, work, target, camera, panel, panel);
}

}  // namespace vantrel
