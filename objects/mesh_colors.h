#pragma once
// Recolouring a whole mesh: one random colour and shine per face, or a gradient by height.
#include <cstdint>

#include "geometry/color.h"
#include "geometry/random.h"
#include "scene/scene.h"

namespace vantrel {

enum class MeshAxis : std::int32_t { X = 1, Y = 2, Z = 3 };

// The single face of a point, line, text or curve object: all corners 0, it names no vertex.
bool IsPlaceholderFace(const Face& face);
// True when the mesh has a face that is not a placeholder, that is something to split.
bool HasRealFaces(const Scene& scene, std::int32_t mesh);
// True when mesh names a live record of the mesh table.
bool IsLiveMesh(const Scene& scene, std::int32_t mesh);

// Every face in face order draws red, green, blue (each round(u * 255)) and then its shine u.
void RandomizeFaceColors(Scene& scene, Random& random, std::int32_t mesh);
// Each face gets ColorLerp(low, high, t), t being where the mean of its corners lies along the
// axis within the mesh's bounding box (low for a flat mesh), and the given shine.
// Placeholder faces keep their colour: they have no corners to measure.
void GradientFaceColors(Scene& scene, std::int32_t mesh, MeshAxis axis, const ColorRGB& low, const ColorRGB& high,
                        float shine);

}  // namespace vantrel
