// Reads screenVertices, viewVertices, worldVertices and the face pool; writes drawList
// and depthKeys.
#include "render/collect_faces.h"

#include <cmath>

#include "render/depth_sort.h"
#include "render/face_geometry.h"

namespace vantrel {

namespace {

// Strictly between the near (0) and far (1) planes; NaN fails.
bool InDepthRange(const Vector3& screen) { return screen.z > 0.0f && screen.z < 1.0f; }

// Strictly inside the four side planes of the view pyramid; the same slope serves x and y.
bool InsideSidePlanes(const Vector3& view, float tanHalfFov) {
    const float limit = view.z * tanHalfFov;
    return std::fabs(view.x) < limit && std::fabs(view.y) < limit;
}

bool FacesCamera(const Scene& scene, const RenderWork& work, const Camera& camera,
                 const Vector3& behindEye, std::int32_t face) {
    if (camera.doubleSided) return true;
    Vector3 centroid, normal, toEye;
    FaceCentroid(scene, work, face, centroid);
    FaceNormal(scene, work, face, normal);
    toEye = {camera.eye.x - centroid.x, camera.eye.y - centroid.y, camera.eye.z - centroid.z};
    if (CosAnglePositive(toEye, normal)) return true;
    // Orthographic rays are parallel: give a face one more chance against the viewing direction.
    return camera.orthographic != 0 && CosAnglePositive(behindEye, normal);
}

bool FaceVisible(const Scene& scene, const RenderWork& work, const Camera& camera,
                 const Vector3& behindEye, std::int32_t face, const std::int32_t (&corners)[3]) {
    for (std::int32_t corner : corners)
        if (!InDepthRange(work.screenVertices[corner])) return false;
    if (camera.orthographic == 0) {
        // Faces are never clipped: one corner outside drops the whole face.
        for (std::int32_t corner : corners)
            if (!InsideSidePlanes(work.viewVertices[corner], camera.tanHalfFov)) return false;
    }
    return FacesCamera(scene, work, camera, behindEye, face);
}

// Zeroes the entries a longer earlier list left behind, up to its terminator.
void TerminateDrawList(RenderWork& work, std::int32_t count) {
    for (std::int32_t i = count; i <= kLastSlot; ++i) {
        if (work.drawList[i] == 0) break;
        work.drawList[i] = 0;
    }
}

}  // namespace

std::int32_t CollectVisibleFaces(Scene& scene, RenderWork& work, std::int32_t camera) {
    const Camera& settings = scene.cameraTable[camera];
    // The point one unit behind the eye, as a vector from the world origin.
    Vector3 direction, behindEye;
    DirectionFromAngles(settings.orientation, direction);
    VecSub(settings.eye, direction, behindEye);

    std::int32_t count = 0;
    const std::int32_t lastMesh = LastIndex(scene.meshRange);
    for (std::int32_t m = scene.meshRange.first; m <= lastMesh; ++m) {
        const Mesh& mesh = scene.meshTable[m];
        if (!mesh.visible) continue;
        std::int32_t first = 0, last = -1;
        MeshFaceSpan(mesh, first, last);
        // Position 10000 is kept for the terminator.
        for (std::int32_t f = first; f <= last && count < kLastSlot; ++f) {
            std::int32_t corners[3];
            FaceCorners(scene, f, corners);
            if (!FaceVisible(scene, work, settings, behindEye, f, corners)) continue;
            // The negated sum of the depths, not the mean: ascending keys put the farthest first.
            work.depthKeys[count] = -1.0f * (work.screenVertices[corners[1]].z +
                                             work.screenVertices[corners[0]].z +
                                             work.screenVertices[corners[2]].z);
            work.drawList[count] = f;
            ++count;
        }
    }
    TerminateDrawList(work, count);
    if (count >= 2) SortDrawList(work, 0, count - 1);
    return count;
}

}  // namespace vantrel
