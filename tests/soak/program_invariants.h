#pragma once
// Promises the running program keeps between any two messages, on top of the scene store's own:
// the slots the interaction holds name live records, the draw list ends within its array, the
// orbit stays finite, and no pen, brush or bitmap outlives the step that made it.
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "app/program.h"
#include "canvas/gdi_objects.h"
#include "render/render_threads.h"
#include "support/scene_invariants.h"

namespace vantrel {

// Created drawing objects alive while the program rests: one bitmap for each of the back buffer
// and the two strips that exists and one per drawing thread's band context, on top of what was
// alive before the program started.
inline std::int64_t RestingObjectCount(const Program& program, std::int64_t objectsBefore) {
    std::int64_t count = objectsBefore + program.work.threads->Count();
    for (const RenderTarget* target : {&program.target, &program.paletteTarget, &program.shineTarget}) {
        if (target->bitmap != nullptr) ++count;
    }
    return count;
}

// "" when every promise holds, else a description of the first broken one. Cleared mesh
// records are checked through lastClearedSlot, as in CheckSceneInvariants.
inline std::string CheckProgramInvariants(const Program& program, std::int64_t objectsBefore,
                                          std::int32_t lastClearedSlot = kLastSlot) {
    const Scene& scene = program.scene;
    std::string broken = CheckSceneInvariants(scene, lastClearedSlot);
    if (broken.empty()) broken = CheckCurrentSlots(scene);
    if (!broken.empty()) return broken;

    // Faces in the run of a mesh in use, by slot: one sweep instead of a search per face.
    std::vector<bool> live(kTableSlots, false);
    for (std::int32_t m = scene.meshRange.first; m <= LastIndex(scene.meshRange); ++m) {
        const Mesh& mesh = scene.meshTable[m];
        for (std::int32_t f = mesh.firstFace; mesh.faceCount > 0 && f <= LastFace(mesh); ++f) live[f] = true;
    }
    const auto isLiveFace = [&live](std::int32_t face) { return face >= 1 && face <= kLastSlot && live[face]; };

    const InteractionState& state = program.interaction;
    if (state.lightPointer != 0) {
        if (!SlotInRange(scene.meshRange, state.lightPointer)) {
            return "light pointer " + std::to_string(state.lightPointer) + " names no mesh";
        }
        if (state.lightPlacement == kFalse) return "a light pointer outlived light placement";
    }
    if (state.hoverFace != 0 && !isLiveFace(state.hoverFace)) {
        return "hover face " + std::to_string(state.hoverFace) + " names no live face";
    }
    if (state.highlightFace != 0 && !isLiveFace(state.highlightFace)) {
        return "highlight face " + std::to_string(state.highlightFace) + " names no live face";
    }

    const std::vector<std::int32_t>& list = program.work.drawList;
    std::int32_t end = 0;
    while (end < static_cast<std::int32_t>(list.size()) && list[end] != 0) ++end;
    if (end >= static_cast<std::int32_t>(list.size())) return "draw list has no terminating 0";
    for (std::int32_t i = 0; i < end; ++i) {
        if (list[i] < 1 || list[i] > kLastSlot) return "draw list entry " + std::to_string(i) + " outside 1..10000";
        // Picking reads the list while the frame matches the scene: then it must name live faces.
        if (state.frameMatchesScene != kFalse && !isLiveFace(list[i])) {
            return "draw list entry " + std::to_string(i) + " names dead face " + std::to_string(list[i]) +
                   " while the frame matches the scene";
        }
    }

    const Orbit& orbit = program.orbit;
    if (!std::isfinite(orbit.longitude) || !std::isfinite(orbit.latitude) || !std::isfinite(orbit.radius) ||
        orbit.radius < 0) {
        return "orbit is not finite or its radius is negative";
    }

    for (const RenderTarget* target : {&program.target, &program.paletteTarget, &program.shineTarget}) {
        if (target->pen != nullptr || target->brush != nullptr) return "a pen or brush is still held after the step";
    }
    const std::int64_t alive = LiveObjectCount();
    const std::int64_t resting = RestingObjectCount(program, objectsBefore);
    if (alive != resting) {
        return "live drawing objects " + std::to_string(alive) + ", resting value " + std::to_string(resting);
    }
    return "";
}

}  // namespace vantrel
