#pragma once
// The lattice shared by the grid, sphere, hemisphere, cone, cylinder, pie and torus: vertices
// appended row by row, then each pair of neighbouring rows joined by two triangles per cell,
// (r, c) (r+1, c) (r+1, c+1) and (r, c) (r+1, c+1) (r, c+1). The last column is never joined
// back to the first; coincident vertices (seams, poles, axes) are welded at the end.
#include <cstdint>

#include "scene/scene.h"

namespace vantrel {

enum class FaceSides { Single, Double };

struct Lattice {
    std::int32_t mesh = 0;     // the mesh being built; 0 once building failed
    std::int32_t columns = 0;  // vertices per row
};

// Starts an empty mesh behind everything in the pools. False (reported) when there is no mesh slot.
bool LatticeBegin(Scene& scene, std::int32_t columns, Lattice& out);
// Appends the next vertex, row by row. Past the pool's end: reports error 1 once, deletes the
// mesh and returns false; later calls then do nothing.
bool LatticeAddVertex(Scene& scene, Lattice& lattice, const Vector3& position);
// Writes the faces (four per cell when double-sided: each triangle again with its last two
// corners exchanged), welds and repacks. Returns the finished mesh's slot, or 0 on failure.
std::int32_t LatticeFinish(Scene& scene, Lattice& lattice, FaceSides sides);

}  // namespace vantrel
