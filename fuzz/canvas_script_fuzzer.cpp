// Fuzzes the drawing-script reader and the canvas behind it: any text is either refused with the
// line and reason of its fault, or drawn on a surface of the size it asked for; either way every
// object it made is gone once the canvas is released. The address sanitizer watches the surface.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "canvas/gdi_objects.h"
#include "tools/canvas-replay/script_reader.h"

namespace {

// Bounds on one run, kept here so the reader itself stays as strict and as lenient as it is.
constexpr std::size_t kMaxScriptBytes = 16384;
constexpr std::int64_t kMaxSide = 512;

volatile std::uint32_t lastPixelRead = 0;  // keeps the probing reads below

void Fail(const char* what) {
    std::fprintf(stderr, "canvas script fuzzer: %s\n", what);
    std::abort();
}

// False when the script's first operation asks for a surface beyond the bound.
bool SurfaceWithinBound(std::string_view text) {
    vantrel::ScriptOperation op;
    std::string message;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);  // as the reader splits lines
        bool empty = false;
        if (!vantrel::ScriptParseLine(line, op, empty, message)) return true;  // refused before drawing
        if (empty) continue;
        return op.opcode != vantrel::ScriptOpcode::Size || (op.values[0] <= kMaxSide && op.values[1] <= kMaxSide);
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > kMaxScriptBytes) return -1;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (!SurfaceWithinBound(text)) return -1;

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
