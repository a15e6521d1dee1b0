// Reads drawList, screenVertices and the face pool; writes faceShades (Solid, Shaded,
// Transparent) or vertexNormals and vertexColors (Gradient); draws into the render target.
#include "render/draw_scene.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <memory>

#include "canvas/drawing.h"
#include "canvas/flat_fill.h"
#include "canvas/gradient_fill.h"
#include "render/drawing_tools.h"
#include "render/face_geometry.h"
#include "render/primitives.h"
#include "render/render_threads.h"
#include "render/shading.h"

namespace vantrel {

namespace {

// The raster operation, pen and brush a mode draws faces with.
struct ModeTools {
    std::int32_t rop2 = R2_COPYPEN;
    std::int32_t penStyle = PS_SOLID;
    ColorRef penColor = 0;
    std::int32_t brushKind = kBrushSolid;  // hollow: faces are outlined only
};

constexpr ColorRef kWhite = 0x00FFFFFF;
constexpr ColorRef kBlack = 0x00000000;

ModeTools ToolsForMode(std::int32_t mode) {
    switch (mode) {
        case kModeWireframe: return {R2_COPYPEN, PS_SOLID, kWhite, kBrushHollow};
        case kModeSolid: return {R2_COPYPEN, PS_SOLID, kWhite, kBrushSolid};
        case kModeShaded: return {R2_COPYPEN, PS_NULL, kBlack, kBrushSolid};
        case kModeTransparent: return {R2_MERGEPEN, PS_NULL, kBlack, kBrushSolid};
        // Inverted edges, so drawing the same outlines twice restores the picture.
        case kModeOutlined: return {R2_NOT, PS_SOLID, kBlack, kBrushHollow};
        default: return {R2_COPYPEN, PS_NULL, kBlack, kBrushHollow};
    }
}

// Modes whose faces are opaque copies that read nothing under them: a null pen, R2_COPYPEN.
bool OpaqueFaces(std::int32_t mode) { return mode == kModeGradient || mode == kModeShaded; }

// Modes whose faces hide what lies behind them: the opaque ones, and Solid's copies with an outline.
bool HidingFaces(std::int32_t mode) { return OpaqueFaces(mode) || mode == kModeSolid; }

// Overflow guard: a band translates rows by up to the surface height.
constexpr std::int32_t kLeastBandedRow = INT32_MIN + kSurfaceMaxSide;

// Corners, rows and colours of the faces listed at positions from .. to - 1; false when a corner
// lies too far up for a band's translation.
bool PrepareListedRange(const Scene& scene, RenderWork& work, bool gradient, std::int32_t from, std::int32_t to) {
    bool bandable = true;
    for (std::int32_t i = from; i < to; ++i) {
        const std::int32_t f = work.drawList[i];
        ListedFace& listed = work.listedFaces[i];
        std::int32_t c[3];
        FaceCorners(scene, f, c);
        for (int k = 0; k < 3; ++k) {
            const Vector3& screen = work.screenVertices[c[k]];
            Point2FromPoint2F({screen.x, screen.y}, listed.corners[k]);
            if (gradient) listed.colors[k] = ColorToColorRef(work.vertexColors[c[k]]);
        }
        if (!gradient) listed.colors[0] = ColorToColorRef(work.faceShades[f]);
        listed.top = std::min({listed.corners[0].y, listed.corners[1].y, listed.corners[2].y});
        listed.bottom = std::max({listed.corners[0].y, listed.corners[1].y, listed.corners[2].y});
        if (listed.top < kLeastBandedRow) bandable = false;
    }
    return bandable;
}

// Every listed face prepared, in parts on the threads; false when the frame must be drawn as one band.
bool PrepareListedFaces(const Scene& scene, RenderWork& work, bool gradient) {
    std::int32_t count = 0;
    while (count <= kLastSlot && work.drawList[count] != 0) ++count;
    const std::int32_t parts = ListParts(*work.threads, count);
    bool bandable[2 * kMostRenderThreads];
    RunParts(*work.threads, parts, [&](std::int32_t part) {
        bandable[part] = PrepareListedRange(scene, work, gradient, count * part / parts, count * (part + 1) / parts);
    });
    return std::all_of(bandable, bandable + parts, [](bool b) { return b; });
}

// Rows of a band sized so its pixels stay in a core's second-level cache while it is drawn. Under
// a cache simulator (1 MiB L2) a 4K frame with the three effects misses a third as often in
// bands of 512 KiB as in one pass; smaller bands repeat more triangle set-ups than they save.
constexpr std::int64_t kBandBytes = 512 * 1024;
// A view up to this size stays in the shared last-level cache: bands there only share the work
// out, four per thread, and one thread draws it in one pass.
constexpr std::int64_t kCachedViewBytes = 16 * 1024 * 1024;

// The frame's faces (and optionally the background under them) drawn band by band: each band
// is a run of the surface's rows, drawn through a context whose surface starts at the band's
// first row, with every shape moved up by as many rows. Each band sees every shape in painter's
// order, clipped to its rows, so the pixels are those of one pass over the whole surface.
// Gradient and Shaded faces are opaque and read nothing under them, so a band draws them nearest
// first, each only where no nearer one has drawn, and the background last in the gaps. Solid faces
// keep painter's order for their outlines, but skip those nearer fills hide and the background
// under any fill.
class FrameBands final : public BandJob {
public:
    FrameBands(const Surface& surface, const RenderWork& work, std::int32_t mode, std::int32_t rows,
               std::int32_t viewRows, const PanelSize& background, bool nearestFirst)
        : surface_(surface), faces_(work.listedFaces.data()), mode_(mode), rows_(rows), background_(background),
          nearestFirst_(nearestFirst && OpaqueFaces(mode)), hideFaces_(nearestFirst && mode == kModeSolid),
          mergeFirst_(nearestFirst && mode == kModeTransparent),
          coveredRuns_(std::clamp(work.coveredRuns, 1, kCoveredRunsPerRow)) {
        while (count_ <= kLastSlot && work.drawList[count_] != 0) ++count_;
        viewRows_ = std::clamp(viewRows, 0, surface.height);
        viewBands_ = (viewRows_ + rows_ - 1) / rows_;
        bands_ = viewBands_ + (viewRows_ < surface.height ? 1 : 0);
    }

    std::int32_t Count() const { return bands_; }

    void DrawBand(BandContext& context, std::int32_t band) const override {
        const std::int32_t y0 = band * rows_;
        const std::int32_t y1 = band < viewBands_ ? std::min(y0 + rows_, viewRows_) : surface_.height;
        if (!(nearestFirst_ || hideFaces_ || mergeFirst_) || context.coverage == nullptr) {
            DrawFarthestFirst(context, y0, y1);
            return;
        }
        // A coverage holds fewer rows than a tall band; a row out of runs has the piece redrawn
        // in painter's order, which rewrites every pixel a face drew.
        for (std::int32_t from = y0; from < y1; from += kCoverageRows) {
            const std::int32_t to = std::min(from + kCoverageRows, y1);
            if (hideFaces_) {
                DrawUnhiddenFarthestFirst(context, from, to);
            } else if (!(mergeFirst_ ? DrawMergedFirst(context, from, to) : DrawNearestFirst(context, from, to))) {
                DrawFarthestFirst(context, from, to);
            }
        }
    }

private:
    std::uint32_t* SurfaceRow(std::int32_t y) const {
        return surface_.pixels + static_cast<std::ptrdiff_t>(y) * surface_.pitch;
    }

    // Points the context's bitmap at rows y0 .. y1 - 1.
    void SelectRows(BandContext& context, std::int32_t y0, std::int32_t y1) const {
        *BitmapSurface(context.bitmap) = Surface{surface_.width, y1 - y0, surface_.pitch, SurfaceRow(y0)};
    }

    // Points the context at rows y0 .. y1 - 1 and empties its coverage of them.
    RowCoverage& StartCoverage(BandContext& context, std::int32_t y0, std::int32_t y1) const {
        SelectRows(context, y0, y1);
        RowCoverage& coverage = *context.coverage;
        ClearCoverage(coverage, y1 - y0);
        coverage.runLimit = coveredRuns_;
        return coverage;
    }

    void BackgroundCorners(std::int32_t y0, TriVertex (&corners)[2]) const {
        corners[0] = TriVertexFromColorRef(0, -y0, kBackgroundTop);
        corners[1] = TriVertexFromColorRef(background_.width, background_.height - y0, kBackgroundBottom);
    }

    void DrawFarthestFirst(BandContext& context, std::int32_t y0, std::int32_t y1) const {
        SelectRows(context, y0, y1);
        if (background_.width > 0 && background_.height > 0) {
            TriVertex corners[2];
            BackgroundCorners(y0, corners);
            const GradientRectMesh rect{0, 1};
            GradientFill(context.dc, corners, 2, &rect, 1, GRADIENT_FILL_RECT_V);
        }
        DrawFaces(context.dc, y0, y1, nullptr);
    }

    // The band's faces in painter's order, but for those marked hidden (by list position).
    void DrawFaces(DcHandle dc, std::int32_t y0, std::int32_t y1, const bool* hidden) const {
        const ModeTools tools = ToolsForMode(mode_);
        SetROP2(dc, tools.rop2);
        const bool outline = tools.penStyle != PS_NULL;
        SelectObject(dc, GetStockObject(!outline ? NULL_PEN : tools.penColor == kWhite ? WHITE_PEN : BLACK_PEN));
        SelectObject(dc, GetStockObject(tools.brushKind == kBrushHollow ? NULL_BRUSH : DC_BRUSH));
        const bool gradient = mode_ == kModeGradient;
        for (std::int32_t i = 0; i < count_; ++i) {
            const ListedFace& face = faces_[i];
            if (face.bottom < y0 || face.top >= y1 || (hidden != nullptr && hidden[i])) continue;
            if (gradient) {
                TriVertex corners[3];
                FaceVertices(face, y0, corners);
                const GradientTriangleMesh triangle{0, 1, 2};
                GradientFill(dc, corners, 3, &triangle, 1, GRADIENT_FILL_TRIANGLE);
                continue;
            }
            Point2 corners[3];
            BandCorners(face, y0, corners);
            SetDCBrushColor(dc, face.colors[0]);
            Polygon(dc, corners, 3);
        }
    }

    // Solid faces a pixel of which shows: nearest first, a face whose box, edges included, lies in
    // nearer fills is hidden; the rest have their fills taken in. Rows out of runs only hide less.
    void DrawUnhiddenFarthestFirst(BandContext& context, std::int32_t y0, std::int32_t y1) const {
        RowCoverage& coverage = StartCoverage(context, y0, y1);
        bool hidden[kTableSlots];  // set for every face in the rows before it is read
        for (std::int32_t i = count_ - 1; i >= 0; --i) {
            const ListedFace& face = faces_[i];
            if (face.bottom < y0 || face.top >= y1) continue;
            Point2 corners[3];
            BandCorners(face, y0, corners);
            hidden[i] = TriangleBoxCovered(corners, surface_.width, y1 - y0, coverage, true);
            if (!hidden[i]) CoverTriangle(corners, surface_.width, y1 - y0, coverage);
        }
        if (background_.width > 0 && background_.height > 0) {
            TriVertex corners[2];
            BackgroundCorners(y0, corners);
            GradientRectVUncovered(context.dc, corners, coverage);
        }
        DrawFaces(context.dc, y0, y1, hidden);
    }

    // Transparent faces merge their colours, so their order does not matter: the first to reach
    // a pixel writes it merged with the background's colour for its row, later ones merge in
    // place, and the background goes last where none reached. False as DrawNearestFirst, and
    // when the background leaves part of the rows, which keep what is under them.
    bool DrawMergedFirst(BandContext& context, std::int32_t y0, std::int32_t y1) const {
        TriVertex background[2];
        BackgroundCorners(y0, background);
        std::uint32_t under[kCoverageRows];
        if (background_.width <= 0 || background_.height <= 0 || !GradientRectVRowPixels(background, y1 - y0, under))
            return false;
        RowCoverage& coverage = StartCoverage(context, y0, y1);
        // Columns right of the view keep what is under them, so faces merge there in place.
        if (background_.width < surface_.width) {
            for (std::int32_t y = 0; y < y1 - y0; ++y) {
                CoveredRun pieces[kCoveredRunsPerRow + 1];
                CoverSpan(coverage, y, background_.width, surface_.width, pieces);
            }
        }
        for (std::int32_t i = count_ - 1; i >= 0; --i) {
            const ListedFace& face = faces_[i];
            if (face.bottom < y0 || face.top >= y1) continue;
            Point2 corners[3];
            BandCorners(face, y0, corners);
            if (!FlatTriangleMergedOver(context.dc, corners, face.colors[0], under, coverage)) return false;
        }
        GradientRectVUncovered(context.dc, background, coverage);
        return true;
    }

    // Opaque faces nearest first, then the background where none of them is; false when a
    // row ran out of runs, the rows then holding a mix of faces.
    bool DrawNearestFirst(BandContext& context, std::int32_t y0, std::int32_t y1) const {
        RowCoverage& coverage = StartCoverage(context, y0, y1);
        for (std::int32_t i = count_ - 1; i >= 0; --i) {
            const ListedFace& face = faces_[i];
            if (face.bottom < y0 || face.top >= y1) continue;
            if (mode_ == kModeShaded) {
                Point2 corners[3];
                BandCorners(face, y0, corners);
                if (!FlatTriangleUncovered(context.dc, corners, face.colors[0], coverage)) return false;
                continue;
            }
            TriVertex corners[3];
            FaceVertices(face, y0, corners);
            if (!GradientTriangleUncovered(context.dc, corners, coverage)) return false;
        }
        if (background_.width > 0 && background_.height > 0) {
            TriVertex corners[2];
            BackgroundCorners(y0, corners);
            GradientRectVUncovered(context.dc, corners, coverage);
        }
        return true;
    }

    // The face's corners moved up by the band's first row.
    static void BandCorners(const ListedFace& face, std::int32_t y0, Point2 (&corners)[3]) {
        for (int k = 0; k < 3; ++k) corners[k] = {face.corners[k].x, face.corners[k].y - y0};
    }

    static void FaceVertices(const ListedFace& face, std::int32_t y0, TriVertex (&corners)[3]) {
        for (int k = 0; k < 3; ++k)
            corners[k] = TriVertexFromColorRef(face.corners[k].x, face.corners[k].y - y0, face.colors[k]);
    }

    Surface surface_;
    const ListedFace* faces_;
    std::int32_t count_ = 0;
    std::int32_t mode_;
    std::int32_t rows_;
    PanelSize background_;
    bool nearestFirst_;
    bool hideFaces_;
    bool mergeFirst_;
    std::int32_t coveredRuns_;
    std::int32_t viewRows_ = 0;
    std::int32_t viewBands_ = 0;
    std::int32_t bands_ = 0;
};

// Whether the listed faces surely overlap on more than an eighth of their pixels: their areas (each
// cut to the view by its box's share) add up beyond the box around them all by that much. Nearest
// first costs up to a quarter more on a frame without overlap, and saves a third with the back
// faces drawn.
bool FacesOverlap(const RenderWork& work, std::int32_t width, std::int32_t height) {
    double area = 0;
    std::int64_t left = INT64_MAX, top = INT64_MAX, right = INT64_MIN, bottom = INT64_MIN;
    for (std::int32_t i = 0; i <= kLastSlot && work.drawList[i] != 0; ++i) {
        const Point2* c = work.listedFaces[i].corners;
        const auto [x0, x1] = std::minmax({std::int64_t{c[0].x}, std::int64_t{c[1].x}, std::int64_t{c[2].x}});
        const auto [y0, y1] = std::minmax({std::int64_t{c[0].y}, std::int64_t{c[1].y}, std::int64_t{c[2].y}});
        const std::int64_t cutWidth = std::min<std::int64_t>(x1, width) - std::max<std::int64_t>(x0, 0);
        const std::int64_t cutHeight = std::min<std::int64_t>(y1, height) - std::max<std::int64_t>(y0, 0);
        if (cutWidth <= 0 || cutHeight <= 0) continue;
        const double twice = std::abs(double(c[1].x - c[0].x) * double(c[2].y - c[0].y) -
                                      double(c[2].x - c[0].x) * double(c[1].y - c[0].y));
        area += twice / 2 * (double(cutWidth) * double(cutHeight)) / (double(x1 - x0) * double(y1 - y0));
        left = std::min(left, std::max<std::int64_t>(x0, 0));
        right = std::max(right, std::min<std::int64_t>(x1, width));
        top = std::min(top, std::max<std::int64_t>(y0, 0));
        bottom = std::max(bottom, std::min<std::int64_t>(y1, height));
    }
    return area > 0 && area - double(right - left) * double(bottom - top) > area / 8;
}

// Beyond the last-level cache, writing each pixel once instead of the background and then a face
// pays by itself: a 4K Gradient sphere without overlap takes a tenth less time nearest first.
// Transparent faces still merge where they overlap, so within the cache they gain nothing there.
bool NearestFirst(const RenderWork& work, const Surface& surface, std::int32_t viewRows, std::int32_t mode) {
    if (work.faceOrder != FaceOrder::ByOverlap) return work.faceOrder == FaceOrder::NearestFirst;
    const std::int32_t rows = std::clamp(viewRows, 1, surface.height);
    return std::int64_t{4} * surface.pitch * rows > kCachedViewBytes ||
           (mode != kModeTransparent && FacesOverlap(work, surface.width, rows));
}

std::int32_t BandRows(const RenderWork& work, const Surface& surface, std::int32_t viewRows, bool bandable,
                      bool nearestFirst) {
    if (!bandable) return surface.height;
    if (work.bandRows > 0) return work.bandRows;
    const std::int64_t rowBytes = std::int64_t{4} * surface.pitch;
    const std::int64_t rows = std::clamp(viewRows, 1, surface.height);
    // Drawn nearest first, a pixel is written about once, so a band gains little from staying in
    // a cache and pays for every face it crosses: a 4K frame takes a tenth less in bands as tall
    // as a coverage as in 512 KiB ones. Four per thread share the work out.
    if (nearestFirst) {
        const std::int64_t bands = 4 * std::int64_t{work.threads->Count()};
        return static_cast<std::int32_t>(work.threads->Count() == 1 ? kCoverageRows
                                                                     : std::min<std::int64_t>((rows + bands - 1) / bands,
                                                                                              kCoverageRows));
    }
    if (rowBytes * rows <= kCachedViewBytes) {
        const std::int64_t bands = 4 * std::int64_t{work.threads->Count()};
        return static_cast<std::int32_t>(work.threads->Count() == 1 ? surface.height : (rows + bands - 1) / bands);
    }
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(kBandBytes / rowBytes, 8, surface.height));
}

}  // namespace

void DrawFacePolygon(RenderTarget& target, const Scene& scene, const RenderWork& work, std::int32_t face) {
    std::int32_t corners[3];
    FaceCorners(scene, face, corners);
    Point2 points[3];
    for (int k = 0; k < 3; ++k) {
        const Vector3& screen = work.screenVertices[corners[k]];
        Point2FromPoint2F({screen.x, screen.y}, points[k]);
    }
    Polygon(target.dc, points, 3);
}

bool ColourListedFaces(const Scene& scene, RenderWork& work, SettingReports& reports, std::int32_t camera) {
    const std::int32_t mode = scene.cameraTable[camera].renderMode;
    if (mode == kModeGradient) ShadeListedVertices(scene, work, reports, camera);
    if (mode == kModeSolid) ShadeListedFaces(scene, work, reports, camera, FaceColoring::Own);
    if (mode == kModeShaded || mode == kModeTransparent) ShadeListedFaces(scene, work, reports, camera, FaceColoring::Lit);
    return PrepareListedFaces(scene, work, mode == kModeGradient);
}

void DrawListedFaces(RenderTarget& target, RenderWork& work, std::int32_t mode, std::int32_t viewRows,
                     const PanelSize& background, bool bandable) {
    SetROP2(target.dc, ToolsForMode(mode).rop2);
    const Surface* surface = DcSurface(target.dc);
    if (surface == nullptr) return;
    // Unbandable frames are one band from row 0, so nothing is moved, nor cut to a coverage's height.
    const bool nearestFirst = bandable && (HidingFaces(mode) || mode == kModeTransparent) &&
                              NearestFirst(work, *surface, viewRows, mode);
    const FrameBands bands(*surface, work, mode, BandRows(work, *surface, viewRows, bandable, nearestFirst),
                           bandable ? viewRows : surface->height, background, nearestFirst);
    work.threads->Run(bands, bands.Count());
}

void DrawScene(RenderTarget& target, const Scene& scene, RenderWork& work, SettingReports& reports,
               std::int32_t camera, std::int32_t viewRows, const PanelSize& background) {
    const bool bandable = ColourListedFaces(scene, work, reports, camera);
    DrawListedFaces(target, work, scene.cameraTable[camera].renderMode, viewRows, background, bandable);
    DrawPrimitiveMeshes(target, scene, work);
}

}  // namespace vantrel
