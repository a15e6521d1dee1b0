#include "tools/canvas-replay/script_reader.h"

#include <algorithm>
#include <array>
#include <new>
#include <utility>

#include "canvas/drawing.h"
#include "tools/printable_echo.h"

namespace vantrel {
namespace {

bool ParseInteger(std::string_view token, std::int64_t& out) {
    std::size_t i = 0;
    const bool negative = !token.empty() && token[0] == '-';
    if (negative) {
        i = 1;
    }
    if (i == token.size()) {
        return false;
    }
    std::int64_t value = 0;
    for (; i < token.size(); ++i) {
        if (token[i] < '0' || token[i] > '9') {
            return false;
        }
        value = value * 10 + (token[i] - '0');
        if (value > 2147483648LL) {
            return false;
        }
    }
    value = negative ? -value : value;
    if (value > INT32_MAX) {
        return false;
    }
    out = value;
    return true;
}

bool ParseColor(std::string_view token, std::int64_t& out) {
    if (token.size() < 3 || token.size() > 10 || token[0] != '0' || (token[1] != 'x' && token[1] != 'X')) {
        return false;
    }
    std::int64_t value = 0;
    for (std::size_t i = 2; i < token.size(); ++i) {
        const char c = token[i];
        const int digit = c >= '0' && c <= '9' ? c - '0'
                          : c >= 'a' && c <= 'f' ? c - 'a' + 10
                          : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                 : -1;
        if (digit < 0) {
            return false;
        }
        value = value * 16 + digit;
    }
    if (value > 0x00FFFFFF) {
        return false;  // the top byte of a colour is always 0
    }
    out = value;
    return true;
}

// Argument kinds of the fixed-length operations: 'i' integer, 'c' colour.
struct Shape {
    std::string_view name;
    ScriptOpcode opcode;
    std::string_view arguments;
};

constexpr std::array<Shape, 8> kFixedShapes = {{
    {"size", ScriptOpcode::Size, "ii"},
    {"rop2", ScriptOpcode::Rop2, "i"},
    {"pen", ScriptOpcode::Pen, "ic"},
    {"brush", ScriptOpcode::Brush, "ic"},
    {"line", ScriptOpcode::Line, "iiii"},
    {"pixel", ScriptOpcode::Pixel, "iic"},
    {"gradrect", ScriptOpcode::GradRect, "iiiiicc"},
    {"gradtri", ScriptOpcode::GradTri, "iiciiciic"},
}};

bool CheckRanges(const ScriptOperation& op, std::string& message) {
    const std::int64_t* v = op.values;
    switch (op.opcode) {
    case ScriptOpcode::Size:
        if (v[0] < 1 || v[0] > kSurfaceMaxSide || v[1] < 1 || v[1] > kSurfaceMaxSide) {
            message = "size must be 1 to 16384 in each direction";
            return false;
        }
        return true;
    case ScriptOpcode::Rop2:
        if (v[0] < 1 || v[0] > 16) {
            message = "raster operation must be 1 to 16";
            return false;
        }
        return true;
    case ScriptOpcode::Pen:
        if (v[0] != PS_SOLID && v[0] != PS_NULL) {
            message = "pen style must be 0 (solid) or 5 (null)";
            return false;
        }
        return true;
    case ScriptOpcode::GradRect:
        if (v[4] != 0 && v[4] != 1) {
            message = "gradient mode must be 0 or 1";
            return false;
        }
        return true;
    default: return true;
    }
}

void SelectOwned(ScriptCanvas& canvas, ObjectHandle& owned, ObjectHandle object) {
    SelectObject(canvas.dc, object);
    if (owned != nullptr && owned != object) {
        DeleteObject(owned);
    }
    owned = IsStockObject(object) ? nullptr : object;
}

Point2 PointAt(const std::int64_t* v, int k) {
    return Point2{static_cast<std::int32_t>(v[k]), static_cast<std::int32_t>(v[k + 1])};
}

// False only when the canvas could not get the memory the operation needs.
bool Execute(const ScriptOperation& op, ScriptCanvas& canvas) {
    const std::int64_t* v = op.values;
    const auto color = [v](int k) { return static_cast<ColorRef>(v[k]); };
    switch (op.opcode) {
    case ScriptOpcode::Size: break;
    case ScriptOpcode::Rop2: SetROP2(canvas.dc, static_cast<std::int32_t>(v[0])); break;
    case ScriptOpcode::Pen: {
        const ObjectHandle pen = CreatePen(static_cast<std::int32_t>(v[0]), 0, color(1));
        if (pen == nullptr) {
            return false;
        }
        SelectOwned(canvas, canvas.pen, pen);
        break;
    }
    case ScriptOpcode::Brush: {
        const ObjectHandle brush = v[0] == 1 ? GetStockObject(NULL_BRUSH) : CreateSolidBrush(color(1));
        if (brush == nullptr) {
            return false;
        }
        SelectOwned(canvas, canvas.brush, brush);
        break;
    }
    case ScriptOpcode::Polygon:
        return Polygon(canvas.dc, op.points.data(), static_cast<std::int32_t>(op.points.size()));
    case ScriptOpcode::Line:
        MoveToEx(canvas.dc, static_cast<std::int32_t>(v[0]), static_cast<std::int32_t>(v[1]), nullptr);
        LineTo(canvas.dc, static_cast<std::int32_t>(v[2]), static_cast<std::int32_t>(v[3]));
        break;
    case ScriptOpcode::Bezier:
        PolyBezier(canvas.dc, op.points.data(), static_cast<std::uint32_t>(op.points.size()));
        break;
    case ScriptOpcode::Pixel:
        SetPixel(canvas.dc, static_cast<std::int32_t>(v[0]), static_cast<std::int32_t>(v[1]), color(2));
        break;
    case ScriptOpcode::GradRect: {
        const Point2 a = PointAt(v, 0);
        const Point2 b = PointAt(v, 2);
        const TriVertex vertices[2] = {TriVertexFromColorRef(a.x, a.y, color(5)), TriVertexFromColorRef(b.x, b.y, color(6))};
        const GradientRectMesh rect{0, 1};
        GradientFill(canvas.dc, vertices, 2, &rect, 1, v[4] == 0 ? GRADIENT_FILL_RECT_H : GRADIENT_FILL_RECT_V);
        break;
    }
    case ScriptOpcode::GradTri: {
        TriVertex vertices[3];
        for (int k = 0; k < 3; ++k) {
            const Point2 p = PointAt(v, 3 * k);
            vertices[k] = TriVertexFromColorRef(p.x, p.y, color(3 * k + 2));
        }
        const GradientTriangleMesh triangle{0, 1, 2};
        GradientFill(canvas.dc, vertices, 3, &triangle, 1, GRADIENT_FILL_TRIANGLE);
        break;
    }
    }
    return true;
}

std::string PointsNeeded(std::int64_t count) { return "expected " + std::to_string(count) + " points"; }

// Takes the next token of a line; false when the line is certainly malformed whatever follows.
bool LineToken(ScriptReplay::LineState& state, ScriptOperation& op, std::string_view token, std::string& message) {
    const std::int64_t index = state.tokens++;
    if (index == 0) {
        if (token == "polygon" || token == "bezier") {
            op.opcode = token == "polygon" ? ScriptOpcode::Polygon : ScriptOpcode::Bezier;
            return true;
        }
        for (std::size_t k = 0; k < kFixedShapes.size(); ++k) {
            if (token == kFixedShapes[k].name) {
                op.opcode = kFixedShapes[k].opcode;
                state.shape = static_cast<std::int32_t>(k);
                return true;
            }
        }
        message = "unknown operation '" + PrintableEcho(token) + "'";
        return false;
    }
    if (state.shape < 0) {
        const bool bezier = op.opcode == ScriptOpcode::Bezier;
        if (index == 1) {
            if (!ParseInteger(token, state.count)) {
                message = "expected a point count";
                return false;
            }
            if (bezier ? (state.count < 4 || (state.count - 1) % 3 != 0) : state.count < 2) {
                message = bezier ? "a bezier needs 3k + 1 points (k >= 1)" : "a polygon needs at least 2 points";
                return false;
            }
            if (state.count > kScriptMaxPoints) {
                message = std::string(bezier ? "a bezier" : "a polygon") + " may have at most " +
                          std::to_string(kScriptMaxPoints) + " points";
                return false;
            }
            // Grown as the points arrive, so a count without the points behind it costs nothing.
            op.points.reserve(static_cast<std::size_t>(std::min<std::int64_t>(state.count, 4096)));
            return true;
        }
        const std::int64_t coordinate = index - 2;
        if (coordinate >= 2 * state.count) {
            message = PointsNeeded(state.count);
            return false;
        }
        std::int64_t value = 0;
        if (!ParseInteger(token, value)) {
            state.badCoordinate = true;
        }
        if (state.badCoordinate) {
            return true;  // the count may still be wrong, which is reported first
        }
        if (coordinate % 2 == 0) {
            state.x = static_cast<std::int32_t>(value);
        } else {
            op.points.push_back(Point2{state.x, static_cast<std::int32_t>(value)});
        }
        return true;
    }
    const Shape& shape = kFixedShapes[static_cast<std::size_t>(state.shape)];
    const std::size_t argument = static_cast<std::size_t>(index - 1);
    if (argument >= shape.arguments.size()) {
        message = std::string(shape.name) + " takes " + std::to_string(shape.arguments.size()) + " arguments";
        return false;
    }
    if (state.badArgument == 0) {
        const bool color = shape.arguments[argument] == 'c';
        if (!(color ? ParseColor(token, op.values[argument]) : ParseInteger(token, op.values[argument]))) {
            state.badArgument = static_cast<std::int64_t>(argument) + 1;
        }
    }
    return true;
}

// Judges a line whose tokens have all been taken.
bool LineEnd(const ScriptReplay::LineState& state, ScriptOperation& op, bool& empty, std::string& message) {
    empty = state.tokens == 0;
    if (empty) {
        return true;
    }
    if (state.shape < 0) {
        if (state.tokens < 2) {
            message = "expected a point count";
            return false;
        }
        if (state.tokens - 2 != 2 * state.count) {
            message = PointsNeeded(state.count);
            return false;
        }
        if (state.badCoordinate) {
            message = "coordinates must be 32-bit decimal integers";
            return false;
        }
        return true;
    }
    const Shape& shape = kFixedShapes[static_cast<std::size_t>(state.shape)];
    if (state.tokens != static_cast<std::int64_t>(shape.arguments.size()) + 1) {
        message = std::string(shape.name) + " takes " + std::to_string(shape.arguments.size()) + " arguments";
        return false;
    }
    if (state.badArgument != 0) {
        const bool color = shape.arguments[static_cast<std::size_t>(state.badArgument - 1)] == 'c';
        message = "argument " + std::to_string(state.badArgument) +
                  (color ? " must be a colour 0x00BBGGRR" : " must be a 32-bit decimal integer");
        return false;
    }
    return CheckRanges(op, message);
}

}  // namespace

bool ScriptParseLine(std::string_view line, ScriptOperation& out, bool& empty, std::string& message) {
    const std::size_t comment = line.find('#');
    if (comment != std::string_view::npos) {
        line = line.substr(0, comment);
    }
    ScriptReplay::LineState state;
    out.points.clear();
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) {
            ++i;
        }
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') {
            ++i;
        }
        if (i > start && !LineToken(state, out, line.substr(start, i - start), message)) {
            empty = false;
            return false;
        }
    }
    return LineEnd(state, out, empty, message);
}

ScriptReplay::~ScriptReplay() { ScriptCanvasRelease(canvas_); }

void ScriptReplay::Fail(std::string message, bool outOfMemory) {
    failed_ = true;
    error_ = ScriptError{line_, std::move(message), outOfMemory};
    ScriptCanvasRelease(canvas_);
    op_.points = std::vector<Point2>();  // a huge polygon's points are not kept for nothing
}

bool ScriptReplay::Feed(std::string_view piece) {
    if (failed_) {
        return false;
    }
    try {
        Scan(piece);
    } catch (const std::bad_alloc&) {
        Fail("out of memory", true);
    }
    return !failed_;
}

bool ScriptReplay::Finish() {
    if (failed_) {
        return false;
    }
    try {
        carriageReturn_ = false;  // a '\r' ending the last line is dropped as before a '\n'
        EndLine();
        if (!failed_ && !sized_) {
            line_ = 1;
            Fail("the script has no size operation");
        }
    } catch (const std::bad_alloc&) {
        Fail("out of memory", true);
    }
    return !failed_;
}

ScriptCanvas ScriptReplay::TakeCanvas() {
    const ScriptCanvas canvas = canvas_;
    canvas_ = ScriptCanvas{};
    return canvas;
}

void ScriptReplay::Scan(std::string_view piece) {
    for (std::size_t i = 0; i < piece.size() && !failed_; ++i) {
        const char c = piece[i];
        if (carriageReturn_) {
            carriageReturn_ = false;
            if (c != '\n') {
                Take('\r');  // not a line end after all, so part of the line
            }
        }
        if (c == '\r') {
            carriageReturn_ = true;
        } else {
            Take(c);
        }
    }
}

void ScriptReplay::Take(char c) {
    if (c == '\n') {
        EndLine();
        ++line_;
        inComment_ = false;
    } else if (inComment_) {
        return;
    } else if (c == '#') {
        EndToken();
        inComment_ = true;
    } else if (c == ' ' || c == '\t') {
        EndToken();
    } else {
        if (tokenBytes_ < kTokenKept) {
            token_[tokenBytes_] = c;
        }
        ++tokenBytes_;
    }
}

void ScriptReplay::EndToken() {
    if (tokenBytes_ == 0) {
        return;
    }
    const std::string_view token(token_, std::min(tokenBytes_, kTokenKept));
    tokenBytes_ = 0;
    // A token cut short here is too long for any operation or number, and reads as wrong.
    if (!LineToken(state_, op_, token, message_)) {
        Fail(message_);
    }
}

void ScriptReplay::EndLine() {
    EndToken();
    if (failed_) {
        return;
    }
    bool empty = false;
    const bool wellFormed = LineEnd(state_, op_, empty, message_);
    state_ = LineState{};
    if (!wellFormed) {
        Fail(message_);
        return;
    }
    if (!empty) {
        if (sized_ == (op_.opcode == ScriptOpcode::Size)) {
            Fail(sized_ ? "size may only be the first operation" : "the first operation must be size");
            return;
        }
        if (op_.opcode == ScriptOpcode::Size) {
            sized_ = true;
            canvas_.dc = CreateCompatibleDC(nullptr);
            canvas_.bitmap = CreateBitmap(static_cast<std::int32_t>(op_.values[0]), static_cast<std::int32_t>(op_.values[1]));
            if (canvas_.dc == nullptr || canvas_.bitmap == nullptr) {
                Fail("out of memory for a surface of " + std::to_string(op_.values[0]) + " x " +
                         std::to_string(op_.values[1]) + " pixels",
                     true);
                return;
            }
            SelectObject(canvas_.dc, canvas_.bitmap);
        } else if (!Execute(op_, canvas_)) {
            Fail("out of memory", true);
            return;
        }
    }
    op_.points.clear();
}

bool ScriptRun(std::string_view text, ScriptCanvas& canvas, ScriptError& error) {
    ScriptReplay replay;
    const bool ran = replay.Feed(text) && replay.Finish();
    error = replay.error();
    canvas = ran ? replay.TakeCanvas() : ScriptCanvas{};
    return ran;
}

void ScriptCanvasRelease(ScriptCanvas& canvas) {
    DeleteDC(canvas.dc);  // releases the bitmap, pen and brush it held
    DeleteObject(canvas.bitmap);
    DeleteObject(canvas.pen);
    DeleteObject(canvas.brush);
    canvas = ScriptCanvas{};
}

}  // namespace vantrel
