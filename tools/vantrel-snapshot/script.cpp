#include "tools/vantrel-snapshot/script.h"

#include <charconv>
#include <vector>

#include "tools/printable_echo.h"

namespace vantrel {
namespace {

std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && (line[at] == ' ' || line[at] == '\t' || line[at] == '\r')) ++at;
        if (at >= line.size() || line[at] == '#') break;  // the rest is a comment
        const std::size_t start = at;
        while (at < line.size() && line[at] != ' ' && line[at] != '\t' && line[at] != '\r') ++at;
        words.push_back(line.substr(start, at - start));
    }
    return words;
}

bool Number(std::string_view word, std::int64_t low, std::int64_t high, std::int64_t& out) {
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (error != std::errc() || end != word.data() + word.size() || value < low || value > high) return false;
    out = value;
    return true;
}

bool KeyName(std::string_view word, ScriptKey& out) {
    static constexpr struct {
        std::string_view name;
        ScriptKey key;
    } kNames[] = {
        {"F1", ScriptKey::F1},         {"F2", ScriptKey::F2},         {"F3", ScriptKey::F3},
        {"F4", ScriptKey::F4},         {"F5", ScriptKey::F5},         {"F6", ScriptKey::F6},
        {"Ctrl+L", ScriptKey::CtrlL},  {"Ctrl+O", ScriptKey::CtrlO},  {"Ctrl+D", ScriptKey::CtrlD},
        {"Ctrl+M", ScriptKey::CtrlM},  {"Ctrl+A", ScriptKey::CtrlA},  {"Ctrl+C", ScriptKey::CtrlC},
        {"Shift", ScriptKey::Shift},
    };
    for (const auto& entry : kNames) {
        if (entry.name == word) {
            out = entry.key;
            return true;
        }
    }
    return false;
}

constexpr std::int64_t kCoordinateLimit = 1000000;  // mouse points may lie off the window

bool ParseMouse(const std::vector<std::string_view>& words, Step& out, std::string& error) {
    if (words.size() < 4) {
        error = "mouse needs an action and a point";
        return false;
    }
    if (!Number(words[2], -kCoordinateLimit, kCoordinateLimit, out.a) ||
        !Number(words[3], -kCoordinateLimit, kCoordinateLimit, out.b)) {
        error = "bad mouse point";
        return false;
    }
    if (words[1] == "move") {
        out.kind = StepKind::MouseMove;
        for (std::size_t i = 4; i < words.size(); ++i) {
            if (words[i] == "left" && !out.left) {
                out.left = true;
            } else if (words[i] == "right" && !out.right) {
                out.right = true;
            } else {
                error = "unknown mouse button '" + PrintableEcho(words[i]) + "'";
                return false;
            }
        }
        return true;
    }
    if (words.size() != 4) {
        error = "too many words";
        return false;
    }
    if (words[1] == "leftdown") {
        out.kind = StepKind::MouseLeftDown;
        return true;
    }
    if (words[1] == "rightdown") {
        out.kind = StepKind::MouseRightDown;
        return true;
    }
    error = "unknown mouse action '" + PrintableEcho(words[1]) + "'";
    return false;
}

}  // namespace

bool ParseStep(std::string_view line, Step& out, std::string& error) {
    out = Step{};
    const std::vector<std::string_view> words = Words(line);
    if (words.empty()) return true;
    const std::string_view verb = words[0];
    const std::size_t count = words.size();
    if (verb == "size" && count == 3) {
        out.kind = StepKind::Size;
        if (Number(words[1], 1, kScriptMaxSide, out.a) && Number(words[2], 1, kScriptMaxSide, out.b)) return true;
        error = "size needs two whole numbers from 1 to " + std::to_string(kScriptMaxSide);
        return false;
    }
    if (verb == "scale" && count == 2) {
        out.kind = StepKind::Scale;
        const std::string_view word = words[1];
        const auto [end, failure] = std::from_chars(word.data(), word.data() + word.size(), out.ratio);
        // The comparison is false for a NaN as well.
        if (failure == std::errc() && end == word.data() + word.size() && out.ratio >= kScriptMinRatio &&
            out.ratio <= kScriptMaxRatio) {
            return true;
        }
        error = "scale needs a number from 1 to 4";
        return false;
    }
    if (verb == "seed" && count == 2) {
        out.kind = StepKind::Seed;
        if (Number(words[1], 0, 86399999, out.a)) return true;  // milliseconds within one day
        error = "seed needs milliseconds after midnight, 0 to 86399999";
        return false;
    }
    if (verb == "menu" && count == 2) {
        out.kind = StepKind::Menu;
        if (Number(words[1], 0, 1000000, out.a)) return true;
        error = "menu needs a command id";
        return false;
    }
    if ((verb == "key" || verb == "keydown" || verb == "keyup") && count == 2) {
        out.kind = verb == "key" ? StepKind::Key : verb == "keydown" ? StepKind::KeyDown : StepKind::KeyUp;
        if (KeyName(words[1], out.key)) return true;
        error = "unknown key '" + PrintableEcho(words[1]) + "'";
        return false;
    }
    if (verb == "mouse") return ParseMouse(words, out, error);
    if (verb == "tick" && count <= 2) {
        out.kind = StepKind::Tick;
        out.a = 1;
        if (count == 1 || Number(words[1], 0, kScriptMaxTicks, out.a)) return true;
        error = "tick needs a count from 0 to " + std::to_string(kScriptMaxTicks);
        return false;
    }
    if (verb == "save" && count == 2) {
        out.kind = StepKind::Save;
        out.file = std::string(words[1]);
        return true;
    }
    if (verb == "dump" && count == 1) {
        out.kind = StepKind::Dump;
        return true;
    }
    error = "unknown command";
    return false;
}

}  // namespace vantrel
