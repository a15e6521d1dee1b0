#pragma once
// Small objects that are not solids: a point, a line, a text label and a cubic Bezier curve.
// Each is one mesh with its few vertices and a single placeholder face (corners all 0) that
// carries the colour; the renderer draws them by their vertex count and name. None is welded.
#include <cstdint>

#include "geometry/vector.h"
#include "scene/scene.h"

namespace vantrel {

// Each returns the new mesh's slot, or 0 (error 1 reported) when the store is full.
std::int32_t MakePixel(Scene& scene, const Vector3& position);
std::int32_t MakeLine(Scene& scene, const Vector3& start, const Vector3& end);
// The text goes into the mesh name, cut to 127 bytes at a UTF-8 character boundary; a null text
// gives an empty name.
std::int32_t MakeText(Scene& scene, const char* text, const Vector3& position);
// Start point, two control points, end point, in that order.
std::int32_t MakeCurve(Scene& scene, const Vector3& p1, const Vector3& p2, const Vector3& p3, const Vector3& p4);

}  // namespace vantrel
