#pragma once
// Colours of lit surface points: the lights, metallic highlights, atmosphere and the two
// colour models. Every channel step rounds halves to even and saturates, so the order of
// the steps decides every result.
#include <cstdint>

#include "geometry/color.h"
#include "geometry/vector.h"
#include "render/render_work.h"
#include "scene/scene.h"

namespace vantrel {

// The colour of world point position with normal (any length; zero gives no diffuse and no
// highlight), for the face's colour and shine, seen from the camera. Bad atmosphere or light
// settings are reported once per reports record and shade as if the ramp were flat.
void ShadePoint(const Scene& scene, SettingReports& reports, const Vector3& position, const Vector3& normal,
                std::int32_t face, std::int32_t camera, ColorRGB& out);

enum class FaceColoring : std::int32_t {
    Own,  // the face's own colour
    Lit,  // shaded at the face centroid with the face normal
};

// faceShades of every listed face.
void ShadeListedFaces(const Scene& scene, RenderWork& work, SettingReports& reports, std::int32_t camera,
                      FaceColoring coloring);

// vertexNormals as the sum of the normals of the listed faces using each vertex, then
// vertexColors for the corners of every listed face; a shared vertex keeps the colour from
// the last listed face, the nearest.
void ShadeListedVertices(const Scene& scene, RenderWork& work, SettingReports& reports, std::int32_t camera);

}  // namespace vantrel
