// Reads screenVertices, viewVertices, worldVertices and the face pool; writes drawList
// and depthKeys.
#include "render/collect_faces.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

#include "render/depth_sort.h"
#include "render/face_geometry.h"
#include "render/render_threads.h"

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

// Tests the faces numbered from .. to - 1 among the visible meshes' faces and lists the visible
// ones from position from on, keyed by their negated depth sums; the count listed. Position
// 10000 is kept for the terminator.
std::int32_t CollectRange(const Scene& scene, RenderWork& work, const Camera& settings, const Vector3& behindEye,
                          std::int32_t from, std::int32_t to) {
    std::int32_t position = from, number = 0;
    const std::int32_t lastMesh = LastIndex(scene.meshRange);
    for (std::int32_t m = scene.meshRange.first; m <= lastMesh && number < to; ++m) {
        const Mesh& mesh = scene.meshTable[m];
        if (!mesh.visible) continue;
        std::int32_t first = 0, last = -1;
        MeshFaceSpan(mesh, first, last);
        if (last < first) continue;
        // Faces of this mesh before the range are skipped whole.
        const std::int32_t skip = std::min(std::max(from - number, 0), last - first + 1);
        number += skip;
        for (std::int32_t f = first + skip; f <= last && number < to && position < kLastSlot; ++f, ++number) {
            std::int32_t corners[3];
            FaceCorners(scene, f, corners);
            if (!FaceVisible(scene, work, settings, behindEye, f, corners)) continue;
            // The negated sum of the depths, not the mean: ascending keys put the farthest first.
            work.depthKeys[position] = -1.0f * (work.screenVertices[corners[1]].z +
                                                work.screenVertices[corners[0]].z +
                                                work.screenVertices[corners[2]].z);
            work.drawList[position] = f;
            ++position;
        }
    }
    return position - from;
}

}  // namespace

std::int32_t CollectVisibleFaces(Scene& scene, RenderWork& work, std::int32_t camera) {
    const Camera& settings = scene.cameraTable[camera];
    // The point one unit behind the eye, as a vector from the world origin.
    Vector3 direction, behindEye;
    DirectionFromAngles(settings.orientation, direction);
    VecSub(settings.eye, direction, behindEye);

    // The faces of the visible meshes, numbered in slot order; part p of them is tested on a
    // thread and its visible ones written from the list position of its first face, then the
    // parts are closed up. Faces beyond the list's room are only met with overlapping meshes.
    std::int64_t total = 0;
    const std::int32_t lastMesh = LastIndex(scene.meshRange);
    for (std::int32_t m = scene.meshRange.first; m <= lastMesh; ++m) {
        std::int32_t first = 0, last = -1;
        MeshFaceSpan(scene.meshTable[m], first, last);
        if (scene.meshTable[m].visible && last >= first) total += last - first + 1;
    }
    const std::int32_t parts = total <= kLastSlot ? ListParts(*work.threads, total) : 1;
    std::int32_t found[2 * kMostRenderThreads];
    const auto partStart = [total, parts](std::int32_t part) {
        return static_cast<std::int32_t>(total * part / parts);
    };
    RunParts(*work.threads, parts, [&](std::int32_t part) {
        found[part] = CollectRange(scene, work, settings, behindEye, partStart(part), parts == 1 ? INT32_MAX : partStart(part + 1));
    });
    std::int32_t count = found[0];
    for (std::int32_t part = 1; part < parts; ++part) {
        const std::int32_t from = partStart(part);
        std::memmove(&work.drawList[count], &work.drawList[from], sizeof(std::int32_t) * static_cast<std::size_t>(found[part]));
        std::memmove(&work.depthKeys[count], &work.depthKeys[from], sizeof(float) * static_cast<std::size_t>(found[part]));
        count += found[part];
    }
    TerminateDrawList(work, count);
    SortDrawListOnThreads(work, count);
    return count;
}

}  // namespace vantrel
