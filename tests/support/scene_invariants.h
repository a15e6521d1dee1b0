#pragma once
// Checks the structural promises of the scene store; returns "" when they hold,
// else a description of the first broken one.
#include <algorithm>
#include <string>

#include "scene/scene.h"

namespace vantrel {

// A table's slots in use run from slot 1 without holes and end within the table.
inline bool RangeInBounds(const IndexRange& range) {
    return range.first == 1 && range.count >= 0 && LastIndex(range) <= kLastSlot;
}

inline bool SlotInRange(const IndexRange& range, std::int32_t slot) {
    return slot >= range.first && slot <= LastIndex(range);
}

// True when the face slot lies in the face run of a mesh in use.
inline bool FaceIsLive(const Scene& scene, std::int32_t face) {
    for (std::int32_t i = scene.meshRange.first; i <= LastIndex(scene.meshRange); ++i) {
        const Mesh& mesh = scene.meshTable[i];
        if (mesh.faceCount > 0 && face >= mesh.firstFace && face <= LastFace(mesh)) return true;
    }
    return false;
}

// Records past the mesh range are checked for being cleared through lastClearedSlot: a caller
// that knows how far the range ever reached may stop there, as the rest of the table is far.
inline std::string CheckSceneInvariants(const Scene& scene, std::int32_t lastClearedSlot = kLastSlot) {
    const IndexRange& range = scene.meshRange;
    if (!RangeInBounds(range)) return "mesh range out of bounds";
    if (!RangeInBounds(scene.cameraRange)) return "camera range out of bounds";
    if (!RangeInBounds(scene.lightRange)) return "light range out of bounds";
    for (std::int32_t i = LastIndex(range) + 1; i <= std::min(lastClearedSlot, kLastSlot); ++i) {
        if (scene.meshTable[i].vertexCount != 0 || scene.meshTable[i].faceCount != 0) {
            return "record beyond the range is not cleared: " + std::to_string(i);
        }
    }
    for (std::int32_t i = range.first; i <= LastIndex(range); ++i) {
        const Mesh& mesh = scene.meshTable[i];
        const auto at = [i] { return " in mesh " + std::to_string(i); };  // built only for a report: checks run often
        if (mesh.vertexCount < 0 || mesh.faceCount < 0) return "negative count" + at();
        if (mesh.vertexCount > 0 && (mesh.firstVertex < 1 || LastVertex(mesh) > kLastSlot)) {
            return "vertex run outside 1..10000" + at();
        }
        if (mesh.faceCount > 0 && (mesh.firstFace < 1 || LastFace(mesh) > kLastSlot)) {
            return "face run outside 1..10000" + at();
        }
        if (mesh.parent < 0 || mesh.parent > LastIndex(range) || mesh.parent == i) return "bad parent" + at();
        for (std::int32_t j = range.first; j < i; ++j) {
            const Mesh& other = scene.meshTable[j];
            const bool verticesOverlap = mesh.vertexCount > 0 && other.vertexCount > 0 &&
                                         mesh.firstVertex <= LastVertex(other) &&
                                         other.firstVertex <= LastVertex(mesh);
            const bool facesOverlap = mesh.faceCount > 0 && other.faceCount > 0 &&
                                      mesh.firstFace <= LastFace(other) && other.firstFace <= LastFace(mesh);
            if (verticesOverlap || facesOverlap) return "runs overlap" + at() + " and " + std::to_string(j);
        }
        for (std::int32_t f = mesh.firstFace; f <= LastFace(mesh); ++f) {
            const Face& face = scene.facePool[f];
            if (face.corner0 == 0 && face.corner1 == 0 && face.corner2 == 0) continue;
            for (std::int32_t corner : {face.corner0, face.corner1, face.corner2}) {
                if (corner < mesh.firstVertex || corner > LastVertex(mesh)) {
                    return "face " + std::to_string(f) + " corner " + std::to_string(corner) + " outside" + at();
                }
            }
        }
    }
    return "";
}

// The current mesh, camera and light each name a record in use, or are 0.
inline std::string CheckCurrentSlots(const Scene& scene) {
    if (scene.currentMesh != 0 && !SlotInRange(scene.meshRange, scene.currentMesh)) {
        return "current mesh " + std::to_string(scene.currentMesh) + " names no mesh";
    }
    if (scene.currentCamera != 0 && !SlotInRange(scene.cameraRange, scene.currentCamera)) {
        return "current camera " + std::to_string(scene.currentCamera) + " names no camera";
    }
    if (scene.currentLight != 0 && !SlotInRange(scene.lightRange, scene.currentLight)) {
        return "current light " + std::to_string(scene.currentLight) + " names no light";
    }
    return "";
}

}  // namespace vantrel
