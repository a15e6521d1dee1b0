// Runs the stages over all their data, one after the other; writes every work array.
#include "render/render_frame.h"

#include "render/collect_faces.h"
#include "render/draw_scene.h"
#include "render/transform.h"

namespace vantrel {

void RenderFrame(Scene& scene, RenderWork& work, RenderTarget& target, std::int32_t camera,
                 const PanelSize& panel) {
    if (!SlotInTable(camera)) return;
    SettingReports reports;
    UpdateWorldVertices(scene, work);
    UpdateViewVertices(scene, work, camera);
    ProjectVertices(scene, work, reports, camera, panel);
    CollectVisibleFaces(scene, work, camera);
    DrawScene(target, scene, work, reports, camera);
}

}  // namespace vantrel
