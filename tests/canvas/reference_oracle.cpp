#include "reference_oracle.h"

#include <algorithm>

#include "tools/canvas-replay/script_reader.h"

namespace vantrel::test {
namespace {

__extension__ typedef __int128 Wide;

Wide Floor(Wide n, Wide d) {  // d != 0
    if (d < 0) {
        n = -n;
        d = -d;
    }
    Wide q = n / d;
    return (n % d != 0 && n < 0) ? q - 1 : q;
}

std::uint32_t RgbFromColorRef(std::int64_t c) {
    return static_cast<std::uint32_t>(((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF));
}

struct State {
    std::int32_t rop = 13;
    bool penNull = false;
    std::uint32_t pen = 0;
    bool brushNull = false;
    std::uint32_t brush = 0xFFFFFF;
};

void Paint(OracleImage& image, std::int64_t x, std::int64_t y, std::int32_t rop, std::uint32_t color) {
    if (x >= 0 && y >= 0 && x < image.width && y < image.height) {
        std::uint32_t& pixel = image.rgb[static_cast<std::size_t>(y * image.width + x)];
        pixel = OracleRop(rop, color, pixel);
    }
}

void Line(OracleImage& image, const State& s, const Point2& a, const Point2& b) {
    if (s.penNull) {
        return;
    }
    for (std::int64_t y = 0; y < image.height; ++y) {
        for (std::int64_t x = 0; x < image.width; ++x) {
            if (OracleLineCovers(a, b, x, y)) {
                Paint(image, x, y, s.rop, s.pen);
            }
        }
    }
}

// Section-4 flattening with nothing wrapped.
struct Fixed {
    Wide x, y;
};
Wide Mid(Wide a, Wide b) { return (a + b + 1) / 2; }
Fixed Mid(const Fixed& a, const Fixed& b) { return {Mid(a.x, b.x), Mid(a.y, b.y)}; }
Wide Abs(Wide v) { return v < 0 ? -v : v; }

bool Flat(const Fixed* p) {
    const bool xMajor = Abs(p[3].y - p[0].y) <= Abs(p[3].x - p[0].x);
    Wide major[4], minor[4];
    for (int k = 0; k < 4; ++k) {
        major[k] = xMajor ? p[k].x : p[k].y;
        minor[k] = xMajor ? p[k].y : p[k].x;
    }
    for (int k = 1; k <= 2; ++k) {
        const bool inside = major[0] <= major[3] ? (major[0] <= major[k] && major[k] <= major[3])
                                                 : (major[3] <= major[k] && major[k] < major[0]);
        if (!inside) {
            return false;
        }
    }
    const Wide d = Floor(major[3] - major[0] + 8, 16);
    if (d == 0) {
        return true;
    }
    for (int k = 1; k <= 2; ++k) {
        if (Abs(minor[k] - minor[0] - ((minor[3] - minor[0]) / d) * Floor(major[k] - major[0] + 8, 16)) > 16) {
            return false;
        }
    }
    return true;
}

void Flatten(const Fixed* p, int level, std::vector<Point2>& out) {
    if (level == 8 || Flat(p)) {
        out.push_back(Point2{static_cast<std::int32_t>(Floor(p[3].x + 8, 16)), static_cast<std::int32_t>(Floor(p[3].y + 8, 16))});
        return;
    }
    const Fixed a = Mid(p[0], p[1]), b = Mid(p[1], p[2]), c = Mid(p[2], p[3]);
    const Fixed ab = Mid(a, b), bc = Mid(b, c), m = Mid(ab, bc);
    const Fixed left[4] = {p[0], a, ab, m};
    const Fixed right[4] = {m, bc, c, p[3]};
    Flatten(left, level + 1, out);
    Flatten(right, level + 1, out);
}

void Polygon(OracleImage& image, const State& s, const std::vector<Point2>& points) {
    const auto count = static_cast<std::int32_t>(points.size());
    if (!s.brushNull) {
        for (std::int64_t y = 0; y < image.height; ++y) {
            for (std::int64_t x = 0; x < image.width; ++x) {
                if (OracleFillCovers(points.data(), count, x, y)) {
                    Paint(image, x, y, s.rop, s.brush);
                }
            }
        }
    }
    if (!s.penNull) {
        for (std::int32_t i = 0; i < count; ++i) {
            Line(image, s, points[static_cast<std::size_t>(i)], points[static_cast<std::size_t>((i + 1) % count)]);
        }
    }
}

std::uint32_t Channel(std::int64_t color, int shift) { return static_cast<std::uint32_t>((color >> shift) & 0xFF); }

void GradRect(OracleImage& image, const std::int64_t* v) {
    const bool horizontal = v[4] == 0;
    const bool firstLeads = horizontal ? v[0] <= v[2] : v[1] <= v[3];
    const std::int64_t lead = firstLeads ? v[5] : v[6];
    const std::int64_t trail = firstLeads ? v[6] : v[5];
    const Wide start = horizontal ? std::min(v[0], v[2]) : std::min(v[1], v[3]);
    const Wide length = horizontal ? std::max(v[0], v[2]) - start : std::max(v[1], v[3]) - start;
    for (std::int64_t y = 0; y < image.height; ++y) {
        for (std::int64_t x = 0; x < image.width; ++x) {
            const bool inside = x >= std::min(v[0], v[2]) && x < std::max(v[0], v[2]) && y >= std::min(v[1], v[3]) &&
                                y < std::max(v[1], v[3]);
            if (!inside) {
                continue;
            }
            const Wide p = (horizontal ? x : y) - start;
            std::uint32_t rgb = 0;
            for (int shift = 0; shift <= 16; shift += 8) {
                const Wide c = Floor(Channel(lead, shift) * (length - p) + Channel(trail, shift) * p, length);
                rgb |= static_cast<std::uint32_t>(c) << (16 - shift);
            }
            image.rgb[static_cast<std::size_t>(y * image.width + x)] = rgb;
        }
    }
}

void GradTri(OracleImage& image, const std::int64_t* v) {
    const Point2 p[3] = {{static_cast<std::int32_t>(v[0]), static_cast<std::int32_t>(v[1])},
                         {static_cast<std::int32_t>(v[3]), static_cast<std::int32_t>(v[4])},
                         {static_cast<std::int32_t>(v[6]), static_cast<std::int32_t>(v[7])}};
    const std::int64_t colors[3] = {v[2], v[5], v[8]};
    const Wide det = Wide(p[1].x - Wide(p[0].x)) * (p[2].y - Wide(p[0].y)) - Wide(p[2].x - Wide(p[0].x)) * (p[1].y - Wide(p[0].y));
    if (det == 0) {
        return;
    }
    for (std::int64_t y = 0; y < image.height; ++y) {
        for (std::int64_t x = 0; x < image.width; ++x) {
            if (!OracleFillCovers(p, 3, x, y)) {
                continue;
            }
            // Weight of corner k: the signed area of the corner point with the other two corners.
            Wide w[3];
            for (int k = 0; k < 3; ++k) {
                const Point2& a = p[(k + 1) % 3];
                const Point2& b = p[(k + 2) % 3];
                w[k] = (a.x - Wide(x)) * (b.y - Wide(y)) - (b.x - Wide(x)) * (a.y - Wide(y));
            }
            std::uint32_t rgb = 0;
            for (int shift = 0; shift <= 16; shift += 8) {
                Wide sum = 0;
                for (int k = 0; k < 3; ++k) {
                    sum += w[k] * Channel(colors[k], shift);
                }
                rgb |= static_cast<std::uint32_t>(Floor(sum, det)) << (16 - shift);
            }
            image.rgb[static_cast<std::size_t>(y * image.width + x)] = rgb;
        }
    }
}

void Execute(OracleImage& image, State& s, const ScriptOperation& op) {
    const std::int64_t* v = op.values;
    switch (op.opcode) {
    case ScriptOpcode::Size:
        image.width = static_cast<std::int32_t>(v[0]);
        image.height = static_cast<std::int32_t>(v[1]);
        image.rgb.assign(static_cast<std::size_t>(v[0] * v[1]), 0);
        break;
    case ScriptOpcode::Rop2: s.rop = static_cast<std::int32_t>(v[0]); break;
    case ScriptOpcode::Pen:
        s.penNull = v[0] == 5;
        s.pen = RgbFromColorRef(v[1]);
        break;
    case ScriptOpcode::Brush:
        s.brushNull = v[0] == 1;
        s.brush = RgbFromColorRef(v[1]);
        break;
    case ScriptOpcode::Polygon: Polygon(image, s, op.points); break;
    case ScriptOpcode::Line:
        Line(image, s, {static_cast<std::int32_t>(v[0]), static_cast<std::int32_t>(v[1])},
             {static_cast<std::int32_t>(v[2]), static_cast<std::int32_t>(v[3])});
        break;
    case ScriptOpcode::Bezier: {
        if (s.penNull) {
            break;
        }
        std::vector<Point2> polyline{op.points[0]};
        for (std::size_t i = 0; i + 3 < op.points.size(); i += 3) {
            Fixed f[4];
            for (int k = 0; k < 4; ++k) {
                f[k] = {Wide(op.points[i + static_cast<std::size_t>(k)].x) * 16, Wide(op.points[i + static_cast<std::size_t>(k)].y) * 16};
            }
            Flatten(f, 0, polyline);
        }
        for (std::size_t i = 0; i + 1 < polyline.size(); ++i) {
            Line(image, s, polyline[i], polyline[i + 1]);
        }
        break;
    }
    case ScriptOpcode::Pixel: Paint(image, v[0], v[1], s.rop, RgbFromColorRef(v[2])); break;
    case ScriptOpcode::GradRect: GradRect(image, v); break;
    case ScriptOpcode::GradTri: GradTri(image, v); break;
    }
}

}  // namespace

bool OracleFillCovers(const Point2* points, std::int32_t count, std::int64_t x, std::int64_t y) {
    // The corner (x, y) is inside when an odd number of edge crossings, rounded up, lie at or left of it.
    bool inside = false;
    for (std::int32_t i = 0; i < count && count >= 3; ++i) {
        const Point2& a = points[i];
        const Point2& b = points[(i + 1) % count];
        const Point2& top = a.y < b.y ? a : b;
        const Point2& bottom = a.y < b.y ? b : a;
        if (a.y == b.y || y < top.y || y >= bottom.y) {
            continue;
        }
        // ceil(X) <= x  <=>  X <= x  <=>  xTop * dy + dx * (y - yTop) <= x * dy
        const Wide dy = Wide(bottom.y) - top.y;
        if (Wide(top.x) * dy + (Wide(bottom.x) - top.x) * (y - Wide(top.y)) <= Wide(x) * dy) {
            inside = !inside;
        }
    }
    return inside;
}

void OracleFillRow(const Point2* points, std::int32_t count, std::int64_t y, std::int32_t width,
                   std::vector<std::uint8_t>& covered) {
    // Each crossing flips the parity of every corner at or right of its rounded-up X.
    covered.assign(static_cast<std::size_t>(width) + 1, 0);
    for (std::int32_t i = 0; i < count && count >= 3; ++i) {
        const Point2& a = points[i];
        const Point2& b = points[(i + 1) % count];
        const Point2& top = a.y < b.y ? a : b;
        const Point2& bottom = a.y < b.y ? b : a;
        if (a.y == b.y || y < top.y || y >= bottom.y) {
            continue;
        }
        const Wide dy = Wide(bottom.y) - top.y;
        const Wide first = -Floor(-(Wide(top.x) * dy + (Wide(bottom.x) - top.x) * (y - Wide(top.y))), dy);
        covered[static_cast<std::size_t>(std::clamp<Wide>(first, 0, width))] ^= 1;
    }
    for (std::int32_t x = 1; x < width; ++x) {
        covered[static_cast<std::size_t>(x)] ^= covered[static_cast<std::size_t>(x - 1)];
    }
    covered.pop_back();
}

bool OracleLineCovers(const Point2& from, const Point2& to, std::int64_t x, std::int64_t y) {
    const Wide dx = Wide(to.x) - from.x;
    const Wide dy = Wide(to.y) - from.y;
    const bool xMajor = Abs(dx) > Abs(dy);
    const Wide a = xMajor ? Abs(dx) : Abs(dy);
    const Wide b = xMajor ? Abs(dy) : Abs(dx);
    if (a == 0) {
        return false;
    }
    const Wide majorDirection = (xMajor ? dx : dy) > 0 ? 1 : -1;
    const Wide minorDelta = xMajor ? dy : dx;
    const Wide i = ((xMajor ? Wide(x) - from.x : Wide(y) - from.y)) * majorDirection;
    if (i < 0 || i >= a) {
        return false;
    }
    const Wide t = minorDelta < 0 ? 1 : 0;
    const Wide n = Floor(2 * i * b + a - 1 + t, 2 * a);
    const Wide minor = (xMajor ? Wide(from.y) : Wide(from.x)) + (minorDelta < 0 ? -n : n);
    return minor == (xMajor ? Wide(y) : Wide(x));
}

std::uint32_t OracleRop(std::int32_t rop, std::uint32_t pen, std::uint32_t destination) {
    std::uint32_t out = 0;
    for (int bit = 0; bit < 24; ++bit) {
        const std::uint32_t p = (pen >> bit) & 1u;
        const std::uint32_t d = (destination >> bit) & 1u;
        out |= ((static_cast<std::uint32_t>(rop - 1) >> (2 * p + d)) & 1u) << bit;
    }
    return out;
}

bool OracleRunScript(std::string_view script, OracleImage& out) {
    out = OracleImage{};
    State state;
    std::size_t start = 0;
    while (start < script.size()) {
        std::size_t end = script.find('\n', start);
        end = end == std::string_view::npos ? script.size() : end;
        std::string_view line = script.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        ScriptOperation op;
        bool empty = false;
        std::string message;
        if (!ScriptParseLine(line, op, empty, message)) {
            return false;
        }
        if (!empty) {
            Execute(out, state, op);
        }
        start = end + 1;
    }
    return out.width > 0;
}

}  // namespace vantrel::test
