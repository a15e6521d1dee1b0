#pragma once
// The straightforward five-pass weld, one deletion at a time through the store's own
// DeleteVertex and DeleteFace. WeldMesh must give exactly the same scene.
#include "scene/mesh_store.h"

namespace vantrel {

inline void ReferenceWeldMesh(Scene& scene, std::int32_t mesh) {
    const std::int32_t firstVertex = scene.meshTable[mesh].firstVertex;
    for (std::int32_t i = LastVertex(scene.meshTable[mesh]); i >= firstVertex; --i) {
        for (std::int32_t j = firstVertex; j <= LastVertex(scene.meshTable[mesh]); ++j) {
            if (j != i && VecDistance(scene.vertexPool[j], scene.vertexPool[i]) < 0.0001f) {
                DeleteVertex(scene, j, i);
                break;
            }
        }
    }
    for (std::int32_t i = LastVertex(scene.meshTable[mesh]); i >= firstVertex; --i) {
        const Mesh& m = scene.meshTable[mesh];
        bool used = false;
        for (std::int32_t f = m.firstFace; f <= LastFace(m) && !used; ++f) used = FaceUsesVertex(scene, i, f);
        if (!used) DeleteVertex(scene, i, 0);
    }
    const std::int32_t firstFace = scene.meshTable[mesh].firstFace;
    for (int pass = 0; pass < 3; ++pass) {
        for (std::int32_t f = LastFace(scene.meshTable[mesh]); f >= firstFace; --f) {
            const Face& face = scene.facePool[f];
            bool drop = false;
            if (pass == 0) {
                drop = !VertexInMesh(scene, face.corner0, mesh) || !VertexInMesh(scene, face.corner1, mesh) ||
                       !VertexInMesh(scene, face.corner2, mesh);
            } else if (pass == 1) {
                drop = face.corner1 == face.corner0 || face.corner2 == face.corner1 || face.corner0 == face.corner2;
            } else {
                drop = face.corner0 == 0 || face.corner1 == 0 || face.corner2 == 0;
            }
            if (drop) DeleteFace(scene, f);
        }
    }
}

}  // namespace vantrel
