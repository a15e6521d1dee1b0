#pragma once
// Meshes own one contiguous run of vertex slots and one of face slots in the shared pools,
// placed first fit. Every allocating operation reports error 1 once and returns 0 on failure.
// Deleting a mesh closes the gap: later slots shift down by one.
#include <cstdint>

#include "scene/scene.h"

namespace vantrel {

Truth VertexInMesh(const Scene& scene, std::int32_t vertex, std::int32_t mesh);
Truth FaceInMesh(const Scene& scene, std::int32_t face, std::int32_t mesh);
Truth FaceUsesVertex(const Scene& scene, std::int32_t vertex, std::int32_t face);

// A new mesh slot with runs for the counts (not cleared), or 0 after reporting error 1.
std::int32_t AllocateMesh(Scene& scene, std::int32_t vertexCount, std::int32_t faceCount);
void DeleteMesh(Scene& scene, std::int32_t mesh);
std::int32_t DuplicateMesh(Scene& scene, std::int32_t mesh);
// Re-places the mesh first fit at its current size; returns its new slot or 0.
std::int32_t RepackMesh(Scene& scene, std::int32_t mesh);
// Moves the mesh behind every used slot so its runs can grow; returns its new slot or 0,
// and on failure leaves the scene exactly as it was.
std::int32_t RelocateMeshToEnd(Scene& scene, std::int32_t mesh);
// Joins the later mesh a and the earlier mesh b (a > b) into a new mesh; returns its slot or 0.
std::int32_t MergeMeshes(Scene& scene, std::int32_t a, std::int32_t b);
// Merges vertices closer than 0.0001 and drops unused vertices and broken faces.
void WeldMesh(Scene& scene, std::int32_t mesh);
void DeleteFace(Scene& scene, std::int32_t face);
// Removes a vertex; faces using it use replacement instead, or are deleted when it is 0.
void DeleteVertex(Scene& scene, std::int32_t vertex, std::int32_t replacement);

void MeshMaxCorner(const Scene& scene, std::int32_t mesh, Vector3& out);
void MeshMinCorner(const Scene& scene, std::int32_t mesh, Vector3& out);
void MeshCentre(const Scene& scene, std::int32_t mesh, Vector3& out);
void TransformMesh(Scene& scene, std::int32_t mesh, const Matrix4& m);
void CentreMesh(Scene& scene, std::int32_t mesh);
void SetMeshColor(Scene& scene, std::int32_t mesh, const ColorRGB& color, float shine);

}  // namespace vantrel
