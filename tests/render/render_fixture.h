#pragma once
// A fresh program state for renderer tests: the start-up scene (camera 1 at (0, 0, -200)
// looking at the origin, light 1 at the eye), work arrays, and helpers to add meshes by hand.
#include <initializer_list>
#include <memory>

#include "geometry/orbit.h"
#include "render/collect_faces.h"
#include "render/projection.h"
#include "render/render_work.h"
#include "render/transform.h"
#include "scene/camera.h"
#include "scene/mesh_store.h"
#include "scene/orbit_camera.h"
#include "support/error_recorder.h"

namespace vantrel {

struct RenderFixture {
    std::unique_ptr<Scene> scene = std::make_unique<Scene>();
    std::unique_ptr<RenderWork> work = std::make_unique<RenderWork>();
    ErrorRecorder errors;
    Orbit orbit;

    RenderFixture() {
        scene->reporter = errors.Reporter();
        BuildDefaultScene(*scene, orbit);
        PlaceCamera(0, 0, 200);
    }

    Camera& camera() { return scene->cameraTable[1]; }

    // Orbit placement as the frame cycle does it: the light rides on the eye.
    void PlaceCamera(float longitude, float latitude, float radius) {
        OrbitCamera(*scene, 1, {}, radius, longitude, latitude);
        scene->lightTable[1].position = camera().eye;
    }

    // A mesh of triangles given as corner triples in model space; returns its slot.
    std::int32_t AddTriangles(std::initializer_list<Vector3> corners, ColorRGB color = {200, 100, 50}) {
        const auto faces = static_cast<std::int32_t>(corners.size() / 3);
        const std::int32_t mesh = AllocateMesh(*scene, faces * 3, faces);
        const Mesh& record = scene->meshTable[mesh];
        std::int32_t v = record.firstVertex;
        for (const Vector3& corner : corners) scene->vertexPool[v++] = corner;
        for (std::int32_t f = 0; f < faces; ++f) {
            Face& face = scene->facePool[record.firstFace + f];
            face = {record.firstVertex + 3 * f, record.firstVertex + 3 * f + 1, record.firstVertex + 3 * f + 2,
                    color, 0.5f};
        }
        return mesh;
    }

    // A one-face mesh as the scatter objects build it: the points, and one face with corners 0.
    std::int32_t AddPrimitive(std::initializer_list<Vector3> points, ColorRGB color, const char* name = "") {
        const std::int32_t mesh = AllocateMesh(*scene, static_cast<std::int32_t>(points.size()), 1);
        Mesh& record = scene->meshTable[mesh];
        std::int32_t v = record.firstVertex;
        for (const Vector3& point : points) scene->vertexPool[v++] = point;
        scene->facePool[record.firstFace] = {0, 0, 0, color, 0.5f};
        SetMeshName(record, name);
        return mesh;
    }

    const Vector3& Screen(std::int32_t mesh, std::int32_t k) const {
        return work->screenVertices[scene->meshTable[mesh].firstVertex + k];
    }
    std::int32_t FaceSlot(std::int32_t mesh, std::int32_t k) const { return scene->meshTable[mesh].firstFace + k; }

    // Stages 1 to 4; returns the number of listed faces.
    std::int32_t Collect(PanelSize panel = {64, 48}) {
        SettingReports reports;
        UpdateWorldVertices(*scene, *work);
        UpdateViewVertices(*scene, *work, 1);
        ProjectVertices(*scene, *work, reports, 1, panel);
        return CollectVisibleFaces(*scene, *work, 1);
    }

    // The listed faces in drawing order.
    std::vector<std::int32_t> Listed() const {
        std::vector<std::int32_t> faces;
        for (std::int32_t i = 0; work->drawList[i] != 0; ++i) faces.push_back(work->drawList[i]);
        return faces;
    }
};

}  // namespace vantrel
