#pragma once
// The solids of the Object menu. Each appends one mesh to the pools and returns its slot, or 0
// when it cannot be built (error 1 reported, nothing left behind). y is up; rotational solids
// turn about the y axis, yaw measured from +z towards +x. Every face's corners run so that
// (c1 - c0) x (c2 - c0) points out of the solid (up, for the grid). Faces come out white with
// shine 0.5. Counts below 1 build nothing and return 0.
#include <cstdint>

#include "geometry/vector.h"
#include "objects/lattice.h"
#include "scene/scene.h"

namespace vantrel {

// Corner at the origin, extending towards +x, +y, +z: 8 vertices, 12 faces, not welded.
std::int32_t MakeBox(Scene& scene, const Vector3& size);
// A flat grid of cellsX by cellsZ cells in y = 0 from the origin towards +x and +z.
std::int32_t MakeGrid(Scene& scene, float width, float depth, std::int32_t cellsX, std::int32_t cellsZ,
                      FaceSides sides);
// Rings of latitude from the top pole down to the bottom pole.
std::int32_t MakeSphere(Scene& scene, float radius, std::int32_t segments, std::int32_t rings);
// The upper half of a sphere closed by a flat base at y = 0.
std::int32_t MakeHemisphere(Scene& scene, float radius, std::int32_t segments, std::int32_t rings);
// Base centred on the origin, apex at (0, height, 0).
std::int32_t MakeCone(Scene& scene, float radius, float height, std::int32_t segments);
std::int32_t MakeCylinder(Scene& scene, float radius, float height, std::int32_t segments);
// A wedge of a cylinder from startDegrees to endDegrees: the first grid column within one step
// of the start is pulled onto it, the first later one within one step of the end onto the end,
// columns outside collapse onto the axis.
std::int32_t MakePie(Scene& scene, float radius, float height, float startDegrees, float endDegrees,
                     std::int32_t segments);
// Every vertex at circumradius from the origin; not welded.
std::int32_t MakeTetrahedron(Scene& scene, float circumradius);
// The octahedron MakeSphere(radius, 4, 2), split at its edge midpoints and pushed back onto
// the sphere levels times.
std::int32_t MakeGeoSphere(Scene& scene, float radius, std::int32_t levels);
// A ring about the y axis; tube rows start at the top of the tube and turn outwards.
std::int32_t MakeTorus(Scene& scene, float ringRadius, float tubeRadius, std::int32_t segments,
                       std::int32_t tubeSides);

}  // namespace vantrel
