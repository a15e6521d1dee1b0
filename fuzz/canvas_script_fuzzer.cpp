// Fuzzes the drawing-script reader and the canvas behind it: any text is either refused with the
// line and reason of its fault, or drawn on a surface of the size it asked for; either way every
// object it made is gone once the canvas is released. The address sanitizer watches the surface.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>
#include <string_view>

#include "canvas/gdi_objects.h"
#include "tools/canvas-replay/script_reader.h"

namespace {

// Bounds on one run, kept here so the reader itself stays as strict and as lenient as it is:
// inputs up to 1 MiB, surfaces up to 4096 pixels a side, and a budget of pixel-sized steps so that
// one input stays well under the time limit even with a huge polygon or many full-surface fills.
constexpr std::size_t kMaxScriptBytes = std::size_t{1} << 20;
constexpr std::int64_t kMaxSide = 4096;
constexpr std::int64_t kWorkBudget = std::int64_t{1} << 27;

volatile std::uint32_t lastPixelRead = 0;  // keeps the probing reads below

void Fail(const char* what) {
    std::fprintf(stderr, "canvas script fuzzer: %s\n", what);
    std::abort();
}

// Pixels a straight stroke from a to b may touch on a surface of that size.
std::int64_t StrokeWork(vantrel::Point2 a, vantrel::Point2 b, std::int64_t width, std::int64_t height) {
    const std::int64_t dx = std::abs(std::int64_t{a.x} - b.x);
    const std::int64_t dy = std::abs(std::int64_t{a.y} - b.y);
    return 1 + std::min(std::max(dx, dy), width + height);
}

// False when the script would draw beyond the bounds: a surface too large, or more work than the
// budget (a fill costs the surface plus a step per row for each edge, a stroke its length).
bool WithinBounds(std::string_view text) {
    vantrel::ScriptOperation op;
    std::string message;
    std::int64_t width = 0, height = 0, work = 0;
    bool pen = true, brush = true;  // whether they draw
    while (!text.empty() && work <= kWorkBudget) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);  // as the reader splits lines
        bool empty = false;
        if (!vantrel::ScriptParseLine(line, op, empty, message)) return true;  // refused before it is all drawn
        if (empty) continue;
        const std::int64_t* v = op.values;
        const std::int64_t area = width * height;
        const std::vector<vantrel::Point2>& points = op.points;
        switch (op.opcode) {
            case vantrel::ScriptOpcode::Size:
                if (width != 0) return true;  // refused
                width = v[0];
                height = v[1];
                if (width > kMaxSide || height > kMaxSide) return false;
                work += width * height;
                break;
            case vantrel::ScriptOpcode::Pen: pen = v[0] != 5; break;
            case vantrel::ScriptOpcode::Brush: brush = v[0] != 1; break;
            case vantrel::ScriptOpcode::Polygon:
                if (brush) work += area + static_cast<std::int64_t>(points.size()) * height;
                for (std::size_t k = 0; pen && k < points.size(); ++k) {
                    work += StrokeWork(points[k], points[(k + 1) % points.size()], width, height);
                }
                break;
            case vantrel::ScriptOpcode::Bezier:
                // A curve's flattened length is at most that of its control polygon.
                for (std::size_t k = 0; pen && k + 1 < points.size(); ++k) {
                    work += 16 + StrokeWork(points[k], points[k + 1], width, height);
                }
                break;
            case vantrel::ScriptOpcode::Line:
                work += StrokeWork({static_cast<std::int32_t>(v[0]), static_cast<std::int32_t>(v[1])},
                                   {static_cast<std::int32_t>(v[2]), static_cast<std::int32_t>(v[3])}, width, height);
                break;
            case vantrel::ScriptOpcode::GradRect:
            case vantrel::ScriptOpcode::GradTri: work += area; break;
            default: work += 1; break;
        }
    }
    return work <= kWorkBudget;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > kMaxScriptBytes) return -1;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (!WithinBounds(text)) return -1;

    const std::int64_t objectsBefore = vantrel::LiveObjectCount();
    vantrel::ScriptCanvas canvas;
    vantrel::ScriptError error;
    if (vantrel::ScriptRun(text, canvas, error)) {
        const vantrel::Surface* surface = vantrel::DcSurface(canvas.dc);
        if (surface == nullptr || surface->width < 1 || surface->height < 1 || surface->width > kMaxSide ||
            surface->height > kMaxSide) {
            Fail("a script that ran left no surface of the size it asked for");
        }
        // The last pixel of every row is readable: a surface smaller than it claims shows under
        // the sanitizer.
        for (std::int32_t y = 0; y < surface->height; ++y) lastPixelRead = surface->pixels[y * surface->pitch + surface->width - 1];
    } else {
        if (canvas.dc != nullptr || canvas.bitmap != nullptr) Fail("a refused script left a canvas behind");
        if (error.line < 1 || error.message.empty()) Fail("a refused script gave no line or reason");
    }
    vantrel::ScriptCanvasRelease(canvas);
    if (vantrel::LiveObjectCount() != objectsBefore) Fail("drawing objects outlived the released canvas");
    return 0;
}
