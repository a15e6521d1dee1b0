#pragma once
// Drawing scripts: one canvas operation per line, replayed on a fresh surface.
//
//   size W H                        first operation only; 1 <= W, H <= 16384, all black
//   rop2 N                          N in 1 .. 16
//   pen STYLE COLOR                 STYLE 0 solid, 5 null
//   brush KIND COLOR                KIND 1 the hollow brush, any other a solid brush
//   polygon N x1 y1 ... xN yN       2 <= N <= 1000000
//   line x0 y0 x1 y1
//   bezier N x1 y1 ... xN yN        N = 3k + 1, k >= 1, N <= 1000000
//   pixel x y COLOR
//   gradrect x0 y0 x1 y1 MODE c0 c1 MODE 0 along x, 1 along y
//   gradtri x0 y0 c0 x1 y1 c1 x2 y2 c2
//
// '#' starts a comment; tokens are separated by spaces or tabs; a '\r' before '\n' is ignored.
// Integers are decimal 32-bit values, colours 0x00BBGGRR in hexadecimal with a 0x prefix. Any
// malformed line makes the whole script invalid, and no surface comes out of it. Each line is
// drawn as soon as it has been read, so a replay holds one line's points, never the script.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "geometry/point.h"
#include "canvas/device_context.h"

namespace vantrel {

enum class ScriptOpcode : std::int32_t { Size, Rop2, Pen, Brush, Polygon, Line, Bezier, Pixel, GradRect, GradTri };

// Most points one polygon or bezier may have.
inline constexpr std::int64_t kScriptMaxPoints = 1000000;

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
    bool outOfMemory = false;  // the line was well formed but memory for it ran out
};

// Replays a script handed over in pieces of any size (a line may span pieces).
class ScriptReplay {
public:
    ScriptReplay() = default;
    ScriptReplay(const ScriptReplay&) = delete;
    ScriptReplay& operator=(const ScriptReplay&) = delete;
    ~ScriptReplay();

    // False once the script has a fault; the rest of it is then ignored.
    bool Feed(std::string_view piece);
    // The end of the script. False (the canvas released) with the line and reason of the first fault.
    bool Finish();
    const ScriptError& error() const { return error_; }
    // The finished canvas, now the caller's to release.
    ScriptCanvas TakeCanvas();

    // What one line has shown so far.
    struct LineState {
        std::int64_t tokens = 0;
        std::int32_t shape = -1;         // the fixed-length operation, if one
        std::int64_t count = 0;          // polygon and bezier: the points announced
        std::int64_t badArgument = 0;    // the first fixed argument that did not read, 1-based
        bool badCoordinate = false;
        std::int32_t x = 0;              // a point's x, its y still to come
    };

private:
    void Fail(std::string message, bool outOfMemory = false);
    void Scan(std::string_view piece);
    void Take(char c);
    void EndToken();
    void EndLine();

    static constexpr std::size_t kTokenKept = 96;  // longer tokens are wrong and shown cut anyway
    ScriptCanvas canvas_;
    ScriptError error_;
    bool failed_ = false;
    bool sized_ = false;
    std::int64_t line_ = 1;
    LineState state_;
    ScriptOperation op_;
    std::string message_;
    char token_[kTokenKept] = {};
    std::size_t tokenBytes_ = 0;  // all of the token's bytes, kept or not
    bool inComment_ = false;
    bool carriageReturn_ = false;  // a '\r' whose meaning depends on the next byte
};

// Reads one line (without its newline). False with a message when it is malformed; empty is
// set for a blank or comment-only line.
bool ScriptParseLine(std::string_view line, ScriptOperation& out, bool& empty, std::string& message);

// Replays a whole script onto a new canvas. False (canvas left empty) with the line and reason of
// the first fault.
bool ScriptRun(std::string_view text, ScriptCanvas& canvas, ScriptError& error);

// Frees what ScriptRun made; harmless on an empty canvas.
void ScriptCanvasRelease(ScriptCanvas& canvas);

}  // namespace vantrel
