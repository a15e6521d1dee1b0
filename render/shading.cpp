// Reads the face pool, the camera and light records, drawList and worldVertices; writes
// faceShades, vertexNormals and vertexColors.
#include "render/shading.h"

#include "render/face_geometry.h"

namespace vantrel {

namespace {

float Clamp01(float x) { return x < 0.0f ? 0.0f : (x > 1.0f ? 1.0f : x); }

// Strength of a spot light at the point: 1 for a plain light, a ramp in cosine between the
// outer and inner cones.
float SpotFactor(const Scene& scene, SettingReports& reports, const Light& light, const Vector3& position) {
    if (!(light.spotOuter > 0.0f)) return 1.0f;
    Vector3 axis, fromLight;
    DirectionFromAngles(light.direction, axis);
    VecSub(position, light.position, fromLight);
    float c = VecCosAngle(axis, fromLight);
    if (c < 0.0f) c = 0.0f;
    if (light.spotInner == light.spotOuter) {
        ReportSettingOnce(scene, reports, SettingCheck::Spot);
        return c;
    }
    return Clamp01((light.spotOuter - c) / (light.spotOuter - light.spotInner));
}

// The mirrored light ray against the eye direction; the cosine itself is the highlight.
float SpecularFactor(const Light& light, const Camera& camera, const Vector3& position, const Vector3& normal) {
    Vector3 ray;
    VecSub(position, light.position, ray);
    if (!(VecCosAngle(ray, normal) < 0.0f)) return 0.0f;  // the light is behind the surface
    Vector3 reflected, toEye;
    VecReflectAgainst(ray, normal, reflected);
    VecSub(camera.eye, position, toEye);
    const float specular = VecCosAngle(reflected, toEye);
    return specular < 0.0f ? 0.0f : specular;
}

float Attenuation(const Scene& scene, SettingReports& reports, const Light& light, const Vector3& position) {
    if (light.attenuationNear == light.attenuationFar) {
        ReportSettingOnce(scene, reports, SettingCheck::Attenuation);
        return 1.0f;
    }
    const float distance = VecDistance(position, light.position);
    return Clamp01((light.attenuationFar - distance) / (light.attenuationFar - light.attenuationNear));
}

void LightTerm(const Scene& scene, SettingReports& reports, const Light& light, const Camera& camera,
               const Face& face, const Vector3& position, const Vector3& normal, ColorRGB& out) {
    const float spot = SpotFactor(scene, reports, light, position);
    const Vector3 toLight{light.position.x - position.x, light.position.y - position.y, light.position.z - position.z};
    float diffuse = VecCosAngleInline(toLight, normal);
    if (diffuse < 0.0f) diffuse = 0.0f;
    const float specular = camera.metallic ? SpecularFactor(light, camera, position, normal) : 0.0f;
    const float atten = camera.atmosphere ? Attenuation(scene, reports, light, position) : 1.0f;
    if (camera.colorCorrect) {
        // The face colour modulated by the diffuse cosine; the light supplies the highlight.
        ColorRGB lit, highlight, sum;
        ColorScale(face.color, diffuse, lit);
        ColorScale(light.color, face.shine * specular, highlight);
        ColorAdd(lit, highlight, sum);
        ColorScale(sum, spot * atten, out);
    } else {
        ColorScale(light.color, (atten * (face.shine * specular + diffuse)) * spot, out);
    }
}

float FadeFactor(const Scene& scene, SettingReports& reports, const Camera& camera, const Vector3& position) {
    if (!camera.atmosphere) return 1.0f;
    if (camera.atmosphereNear == camera.atmosphereFar) {
        ReportSettingOnce(scene, reports, SettingCheck::Atmosphere);
        return 1.0f;
    }
    const float distance = VecDistance(position, camera.eye);
    return Clamp01((camera.atmosphereFar - distance) / (camera.atmosphereFar - camera.atmosphereNear));
}

}  // namespace

void ShadePoint(const Scene& scene, SettingReports& reports, const Vector3& position, const Vector3& normal,
                std::int32_t face, std::int32_t camera, ColorRGB& out) {
    const Camera& view = scene.cameraTable[camera];
    const Face& surface = scene.facePool[SlotInTable(face) ? face : 0];
    ColorRGB lightSum;
    const std::int32_t lastLight = LastIndex(scene.lightRange);
    for (std::int32_t l = scene.lightRange.first; l <= lastLight; ++l) {
        const Light& light = scene.lightTable[l];
        if (!light.enabled) continue;
        ColorRGB term;
        LightTerm(scene, reports, light, view, surface, position, normal, term);
        ColorAdd(lightSum, term, lightSum);
    }
    const float fade = FadeFactor(scene, reports, view, position);
    // A fade of 1 gives the colour exactly, so the atmosphere lerp is skipped.
    const bool faded = fade != 1.0f;
    if (view.colorCorrect) {
        if (faded) ColorLerp(view.atmosphereColor, lightSum, fade, out);
        else out = lightSum;
    } else {
        // The light's colour blended over the face colour in the proportion of the shine.
        ColorRGB base;
        ColorLerp(surface.color, lightSum, surface.shine, faded ? base : out);
        if (faded) ColorLerp(view.atmosphereColor, base, fade, out);
    }
}

void ShadeListedFaces(const Scene& scene, RenderWork& work, SettingReports& reports, std::int32_t camera,
                      FaceColoring coloring) {
    for (std::int32_t i = 0; i <= kLastSlot && work.drawList[i] != 0; ++i) {
        const std::int32_t f = work.drawList[i];
        if (coloring == FaceColoring::Own) {
            work.faceShades[f] = scene.facePool[f].color;
            continue;
        }
        Vector3 centroid, normal;
        FaceCentroid(scene, work, f, centroid);
        FaceNormal(scene, work, f, normal);
        ShadePoint(scene, reports, centroid, normal, f, camera, work.faceShades[f]);
    }
}

void ShadeListedVertices(const Scene& scene, RenderWork& work, SettingReports& reports, std::int32_t camera) {
    for (std::int32_t i = 0; i <= kLastSlot && work.drawList[i] != 0; ++i) {
        std::int32_t c[3];
        FaceCorners(scene, work.drawList[i], c);
        for (std::int32_t corner : c) work.vertexNormals[corner] = {};
    }
    // Unnormalised sums, so larger faces weigh more.
    for (std::int32_t i = 0; i <= kLastSlot && work.drawList[i] != 0; ++i) {
        std::int32_t c[3];
        Vector3 normal;
        FaceCorners(scene, work.drawList[i], c);
        FaceNormal(scene, work, work.drawList[i], normal);
        for (std::int32_t corner : c) {
            VecAdd(work.vertexNormals[corner], normal, work.vertexNormals[corner]);
            work.vertexLastFace[corner] = i;
        }
    }
    // A vertex takes the colour of the last listed face around it, so it is shaded for that one only.
    for (std::int32_t i = 0; i <= kLastSlot && work.drawList[i] != 0; ++i) {
        const std::int32_t f = work.drawList[i];
        std::int32_t c[3];
        FaceCorners(scene, f, c);
        for (std::int32_t corner : c) {
            if (work.vertexLastFace[corner] != i) continue;
            ShadePoint(scene, reports, work.worldVertices[corner], work.vertexNormals[corner], f, camera,
                       work.vertexColors[corner]);
        }
    }
}

}  // namespace vantrel
