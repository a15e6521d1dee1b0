// Runs the stages over all their data, one after the other; writes every work array.
#include "render/render_frame.h"

#include "render/collect_faces.h"
#include "render/draw_scene.h"
#include "render/drawing_tools.h"
#include "render/primitives.h"
#include "render/transform.h"

namespace vantrel {

namespace {

// Stages 1 to 4: the work arrays up to the list of faces to draw.
void PlaceListedFaces(Scene& scene, RenderWork& work, SettingReports& reports, std::int32_t camera,
                      const PanelSize& panel) {
    UpdateWorldVertices(scene, work);
    UpdateViewVertices(scene, work, camera);
    ProjectVertices(scene, work, reports, camera, panel);
    CollectVisibleFaces(scene, work, camera);
}

}  // namespace

void RenderFrame(Scene& scene, RenderWork& work, RenderTarget& target, std::int32_t camera,
                 const PanelSize& panel) {
    if (!SlotInTable(camera)) return;
    SettingReports reports;
    PlaceListedFaces(scene, work, reports, camera, panel);
    DrawScene(target, scene, work, reports, camera, panel.height);
}

void RenderView(Scene& scene, RenderWork& work, RenderTarget& target, std::int32_t camera,
                const PanelSize& panel) {
    DrawPreparedView(target, scene, work, PrepareView(scene, work, camera, panel));
}

PreparedView PrepareView(Scene& scene, RenderWork& work, std::int32_t camera, const PanelSize& panel) {
    PreparedView view;
    view.panel = panel;
    if (!SlotInTable(camera)) return view;
    SettingReports reports;
    PlaceListedFaces(scene, work, reports, camera, panel);
    view.bandable = ColourListedFaces(scene, work, reports, camera);
    view.camera = true;
    view.mode = scene.cameraTable[camera].renderMode;
    view.primitives = HasPrimitiveMeshes(scene);
    return view;
}

void DrawPreparedView(RenderTarget& target, const Scene& scene, RenderWork& work, const PreparedView& view) {
    if (!view.camera) {
        DrawBackground(target.dc, static_cast<float>(view.panel.width), static_cast<float>(view.panel.height));
        return;
    }
    DrawListedFaces(target, work, view.mode, view.panel.height, view.panel, view.bandable);
    if (view.primitives) DrawPrimitiveMeshes(target, scene, work);
}

}  // namespace vantrel
