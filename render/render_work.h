#pragma once
// The renderer's work arrays, carried from stage to stage. Each holds slots 0..10000,
// is created zero-filled once with the scene tables and never resized, so a frame allocates
// nothing of its own.
#include <cstdint>
#include <memory>
#include <vector>

#include "canvas/row_coverage.h"
#include "geometry/color.h"
#include "geometry/point.h"
#include "geometry/vector.h"
#include "scene/scene.h"

namespace vantrel {

class RenderThreads;

enum class FaceOrder : std::int32_t { ByOverlap, FarthestFirst, NearestFirst };

// A listed face as the bands draw it: corners rounded to pixels, the rows it can touch, colours.
struct ListedFace {
    Point2 corners[3];
    std::int32_t top = 0;     // least corner row
    std::int32_t bottom = 0;  // greatest corner row
    ColorRef colors[3] = {};  // the fill colour first; in Gradient mode each corner's colour
};

struct RenderWork {
    std::vector<Vector3> worldVertices = std::vector<Vector3>(kTableSlots);   // by vertex slot, world space
    std::vector<Vector3> viewVertices = std::vector<Vector3>(kTableSlots);    // by vertex slot, view space
    // By vertex slot: x, y in view-panel pixels (unrounded), z depth 0 at near .. 1 at far.
    std::vector<Vector3> screenVertices = std::vector<Vector3>(kTableSlots);
    std::vector<float> depthKeys = std::vector<float>(kTableSlots);           // by list position
    // Face slots in drawing order, farthest first; ends at the first 0.
    std::vector<std::int32_t> drawList = std::vector<std::int32_t>(kTableSlots);
    std::vector<ColorRGB> faceShades = std::vector<ColorRGB>(kTableSlots);    // by face slot, fill colour
    std::vector<Vector3> vertexNormals = std::vector<Vector3>(kTableSlots);   // by vertex slot, Gradient mode
    std::vector<ColorRGB> vertexColors = std::vector<ColorRGB>(kTableSlots);  // by vertex slot, Gradient mode
    // By vertex slot, Gradient mode: the last list position whose face has the vertex as a corner.
    std::vector<std::int32_t> vertexLastFace = std::vector<std::int32_t>(kTableSlots);
    std::vector<ListedFace> listedFaces = std::vector<ListedFace>(kTableSlots);  // by list position

    // The drawing threads (DefaultRenderThreadCount of them), kept from the first frame on.
    std::unique_ptr<RenderThreads> threads;
    std::int32_t bandRows = 0;  // rows per band; 0 sizes bands to the caches
    // Gradient and Shaded faces go nearest first over covered runs of rows when they overlap
    // enough, else farthest first as in every mode (Solid faces that nearer ones hide are then
    // found nearest first and skipped); tests fix the order and keep fewer runs per row.
    FaceOrder faceOrder = FaceOrder::ByOverlap;
    std::int32_t coveredRuns = kCoveredRunsPerRow;

    RenderWork();
    ~RenderWork();
    RenderWork(const RenderWork&) = delete;
    RenderWork& operator=(const RenderWork&) = delete;
};

// The checks of camera and light settings a frame makes; each may fail once per frame.
enum class SettingCheck : std::int32_t {
    Projection,   // clip distances (bad camera settings)
    Atmosphere,   // fade distances (bad camera settings)
    Spot,         // inner and outer cone (bad light settings)
    Attenuation,  // fall-off distances (bad light settings)
};
inline constexpr std::int32_t kSettingCheckCount = 4;

// Which checks a frame has already reported, so each failing check raises one notice.
struct SettingReports {
    Truth reported[kSettingCheckCount] = {};
};

// Reports the check's error code through the scene's reporter unless this frame has reported
// that check already.
void ReportSettingOnce(const Scene& scene, SettingReports& reports, SettingCheck check);

// Vertex and face slots index the pools and the work arrays: guard every slot read from a record.
inline bool SlotInTable(std::int32_t slot) { return slot >= 0 && slot <= kLastSlot; }

// A mesh's vertex or face run, kept to slots 1..10000 so slot 0 is never written.
inline void MeshVertexSpan(const Mesh& mesh, std::int32_t& first, std::int32_t& last) {
    first = mesh.firstVertex < 1 ? 1 : mesh.firstVertex;
    last = LastVertex(mesh) > kLastSlot ? kLastSlot : LastVertex(mesh);
}
inline void MeshFaceSpan(const Mesh& mesh, std::int32_t& first, std::int32_t& last) {
    first = mesh.firstFace < 1 ? 1 : mesh.firstFace;
    last = LastFace(mesh) > kLastSlot ? kLastSlot : LastFace(mesh);
}

}  // namespace vantrel
