#pragma once
// Drawing scripts: one canvas operation per line, replayed on a fresh surface.
//
//   size W H                        first operation only; 1 <= W, H <= 16384, all black
//   rop2 N                          N in 1 .. 16
//   pen STYLE COLOR                 STYLE 0 solid, 5 null
//   brush KIND COLOR                KIND 1 the hollow brush, any other a solid brush
//   polygon N x1 y1 ... xN yN       N >= 2
//   line x0 y0 x1 y1
//   bezier N x1 y1 ... xN yN        N = 3k + 1, k >= 1
//   pixel x y COLOR
//   gradrect x0 y0 x1 y1 MODE c0 c1 MODE 0 along x, 1 along y
//   gradtri x0 y0 c0 x1 y1 c1 x2 y2 c2
//
// '#' starts a comment; tokens are separated by spaces or tabs; a '\r' before '\n' is ignored.
// Integers are decimal 32-bit values, colours 0x00BBGGRR in hexadecimal with a 0x prefix. Any
// malformed line makes the whole script invalid, and nothing is drawn.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "geometry/point.h"
#include "canvas/device_context.h"

namespace vantrel {

enum class ScriptOpcode : std::int32_t { Size, Rop2, Pen, Brush, Polygon, Line, Bezier, Pixel, GradRect, GradTri };

struct ScriptOperation {
    ScriptOpcode opcode = ScriptOpcode::Size;
    std::int64_t values[9] = {};  // the fixed arguments in script order (colours as numbers)
    std::vector<Point2> points;   // polygon and bezier points
};

// The surface a script drew on, with the pen and brush it created.
struct ScriptCanvas {
    DcHandle dc = nullptr;
    ObjectHandle bitmap = nullptr;
    ObjectHandle pen = nullptr;    // the one pen the script owns, if any
    ObjectHandle brush = nullptr;  // the one solid brush the script owns, if any
};

struct ScriptError {
    std::int64_t line = 0;  // 1-based line of the fault
    std::string message;
};

// Reads one line (without its newline). False with a message when it is malformed; empty is
// set for a blank or comment-only line.
bool ScriptParseLine(std::string_view line, ScriptOperation& out, bool& empty, std::string& message);

// Checks the whole script, then replays it onto a new canvas. False (canvas left empty) with the
// line and reason of the first fault.
bool ScriptRun(std::string_view text, ScriptCanvas& canvas, ScriptError& error);

// Frees what ScriptRun made; harmless on an empty canvas.
void ScriptCanvasRelease(ScriptCanvas& canvas);

}  // namespace vantrel
