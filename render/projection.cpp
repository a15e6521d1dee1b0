// Reads viewVertices and the camera's projection settings; writes screenVertices.
#include "render/projection.h"

namespace vantrel {

Truth BuildProjection(float a, float nearClip, float farClip, float sx, float sy, float hw, float hh,
                      std::int32_t orthographic, float k, Matrix4& out) {
    MatZero(out);
    // Written as negated comparisons so NaN distances fail too.
    if (!(nearClip > 0.0f) || !(farClip > nearClip)) return kFalse;
    const float depthSpan = farClip - nearClip;
    if (orthographic == 0) {
        const float e = a / nearClip;
        const float f = farClip * a;
        MatFromRows({sx, 0, 0, 0}, {0, -sy, 0, 0}, {e * hw, e * hh, f / (depthSpan * nearClip), e},
                    {0, 0, -f / depthSpan, 0}, out);
    } else {
        MatFromRows({k, 0, 0, 0}, {0, -k, 0, 0}, {0, 0, 1.0f / depthSpan, 0},
                    {hw, hh, -nearClip / depthSpan, 1}, out);
    }
    return kTrue;
}

void ProjectVertices(Scene& scene, RenderWork& work, SettingReports& reports, std::int32_t camera,
                     const PanelSize& panel) {
    const Camera& settings = scene.cameraTable[camera];
    const float halfWidth = float(panel.width) / 2.0f;
    const float halfHeight = float(panel.height) / 2.0f;
    // The field of view spans the longer panel side.
    const float scale = halfHeight < halfWidth ? halfWidth : halfHeight;
    const float a = settings.nearClip * settings.tanHalfFov;
    Matrix4 projection;
    if (!BuildProjection(a, settings.nearClip, settings.farClip, scale, scale, halfWidth, halfHeight,
                         settings.orthographic, settings.orthoScale, projection)) {
        ReportSettingOnce(scene, reports, SettingCheck::Projection);
        // An all-zero projection gives w = 0 everywhere, so nothing below would be written.
        return;
    }
    const std::int32_t lastMesh = LastIndex(scene.meshRange);
    for (std::int32_t m = scene.meshRange.first; m <= lastMesh; ++m) {
        const Mesh& mesh = scene.meshTable[m];
        if (!mesh.visible) continue;
        std::int32_t first = 0, last = -1;
        MeshVertexSpan(mesh, first, last);
        for (std::int32_t v = first; v <= last; ++v) {
            Vector4 clip;
            TransformPoint4(work.viewVertices[v], projection, clip);
            if (clip.w == 0.0f) continue;  // in the eye plane: keep the earlier projection
            const float inverseW = 1.0f / clip.w;
            work.screenVertices[v] = {clip.x * inverseW, clip.y * inverseW, clip.z * inverseW};
        }
    }
}

}  // namespace vantrel
