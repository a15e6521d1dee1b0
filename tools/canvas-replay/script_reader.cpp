#include "tools/canvas-replay/script_reader.h"

#include <array>

#include "canvas/drawing.h"

namespace vantrel {
namespace {

void SplitTokens(std::string_view line, std::vector<std::string_view>& out) {
    out.clear();
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) {
            ++i;
        }
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') {
            ++i;
        }
        if (i > start) {
            out.push_back(line.substr(start, i - start));
        }
    }
}

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

bool ParsePoints(const std::vector<std::string_view>& tokens, ScriptOperation& out, std::string& message) {
    std::int64_t count = 0;
    if (tokens.size() < 2 || !ParseInteger(tokens[1], count)) {
        message = "expected a point count";
        return false;
    }
    const bool bezier = out.opcode == ScriptOpcode::Bezier;
    if (bezier ? (count < 4 || (count - 1) % 3 != 0) : count < 2) {
        message = bezier ? "a bezier needs 3k + 1 points (k >= 1)" : "a polygon needs at least 2 points";
        return false;
    }
    // Checked against the tokens present before anything is allocated.
    if (static_cast<std::int64_t>(tokens.size()) - 2 != 2 * count) {
        message = "expected " + std::to_string(count) + " points";
        return false;
    }
    out.points.resize(static_cast<std::size_t>(count));
    for (std::int64_t k = 0; k < count; ++k) {
        std::int64_t x = 0;
        std::int64_t y = 0;
        if (!ParseInteger(tokens[2 + 2 * k], x) || !ParseInteger(tokens[3 + 2 * k], y)) {
            message = "coordinates must be 32-bit decimal integers";
            return false;
        }
        out.points[static_cast<std::size_t>(k)] = Point2{static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)};
    }
    return true;
}

bool ParseFixed(const Shape& shape, const std::vector<std::string_view>& tokens, ScriptOperation& out,
                std::string& message) {
    if (tokens.size() != shape.arguments.size() + 1) {
        message = std::string(shape.name) + " takes " + std::to_string(shape.arguments.size()) + " arguments";
        return false;
    }
    for (std::size_t k = 0; k < shape.arguments.size(); ++k) {
        const bool color = shape.arguments[k] == 'c';
        if (!(color ? ParseColor(tokens[k + 1], out.values[k]) : ParseInteger(tokens[k + 1], out.values[k]))) {
            message = "argument " + std::to_string(k + 1) + (color ? " must be a colour 0x00BBGGRR"
                                                                   : " must be a 32-bit decimal integer");
            return false;
        }
    }
    return CheckRanges(out, message);
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

void Execute(const ScriptOperation& op, ScriptCanvas& canvas) {
    const std::int64_t* v = op.values;
    const auto color = [v](int k) { return static_cast<ColorRef>(v[k]); };
    switch (op.opcode) {
    case ScriptOpcode::Size: break;
    case ScriptOpcode::Rop2: SetROP2(canvas.dc, static_cast<std::int32_t>(v[0])); break;
    case ScriptOpcode::Pen:
        SelectOwned(canvas, canvas.pen, CreatePen(static_cast<std::int32_t>(v[0]), 0, color(1)));
        break;
    case ScriptOpcode::Brush:
        SelectOwned(canvas, canvas.brush, v[0] == 1 ? GetStockObject(NULL_BRUSH) : CreateSolidBrush(color(1)));
        break;
    case ScriptOpcode::Polygon:
        Polygon(canvas.dc, op.points.data(), static_cast<std::int32_t>(op.points.size()));
        break;
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
}

// Calls visit(lineNumber, lineText) for every line of the text.
template <typename Visit>
bool ForEachLine(std::string_view text, Visit&& visit) {
    std::int64_t number = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (!visit(++number, line)) {
            return false;
        }
        start = end + 1;
    }
    return true;
}

}  // namespace

bool ScriptParseLine(std::string_view line, ScriptOperation& out, bool& empty, std::string& message) {
    const std::size_t comment = line.find('#');
    if (comment != std::string_view::npos) {
        line = line.substr(0, comment);
    }
    std::vector<std::string_view> tokens;
    SplitTokens(line, tokens);
    empty = tokens.empty();
    out.points.clear();
    if (empty) {
        return true;
    }
    if (tokens[0] == "polygon" || tokens[0] == "bezier") {
        out.opcode = tokens[0] == "polygon" ? ScriptOpcode::Polygon : ScriptOpcode::Bezier;
        return ParsePoints(tokens, out, message);
    }
    for (const Shape& shape : kFixedShapes) {
        if (tokens[0] == shape.name) {
            out.opcode = shape.opcode;
            return ParseFixed(shape, tokens, out, message);
        }
    }
    message = "unknown operation '" + std::string(tokens[0].substr(0, 32)) + "'";
    return false;
}

bool ScriptRun(std::string_view text, ScriptCanvas& canvas, ScriptError& error) {
    canvas = ScriptCanvas{};
    error = ScriptError{};
    ScriptOperation op;
    std::string message;
    bool sized = false;
    // First pass: every line must be well formed before anything is drawn.
    const bool valid = ForEachLine(text, [&](std::int64_t number, std::string_view line) {
        bool empty = false;
        if (!ScriptParseLine(line, op, empty, message)) {
            error = ScriptError{number, message};
            return false;
        }
        if (empty) {
            return true;
        }
        if (sized == (op.opcode == ScriptOpcode::Size)) {
            error = ScriptError{number, sized ? "size may only be the first operation" : "the first operation must be size"};
            return false;
        }
        sized = true;
        return true;
    });
    if (!valid) {
        return false;
    }
    if (!sized) {
        error = ScriptError{1, "the script has no size operation"};
        return false;
    }
    ForEachLine(text, [&](std::int64_t number, std::string_view line) {
        bool empty = false;
        ScriptParseLine(line, op, empty, message);
        if (empty) {
            return true;
        }
        if (op.opcode == ScriptOpcode::Size) {
            canvas.dc = CreateCompatibleDC(nullptr);
            canvas.bitmap = CreateBitmap(static_cast<std::int32_t>(op.values[0]), static_cast<std::int32_t>(op.values[1]));
            if (canvas.dc == nullptr || canvas.bitmap == nullptr) {
                error = ScriptError{number, "out of memory for the surface"};
                return false;
            }
            SelectObject(canvas.dc, canvas.bitmap);
            return true;
        }
        Execute(op, canvas);
        return true;
    });
    if (!error.message.empty()) {
        ScriptCanvasRelease(canvas);
        return false;
    }
    return true;
}

void ScriptCanvasRelease(ScriptCanvas& canvas) {
    DeleteDC(canvas.dc);  // releases the bitmap, pen and brush it held
    DeleteObject(canvas.bitmap);
    DeleteObject(canvas.pen);
    DeleteObject(canvas.brush);
    canvas = ScriptCanvas{};
}

}  // namespace vantrel
