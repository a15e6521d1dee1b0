// The drawing-script reader: well-formed scripts replay, malformed ones name their line.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>

#include "geometry/random.h"

#include "tools/canvas-replay/ppm.h"
#include "tools/canvas-replay/script_reader.h"
#include "tools/printable_echo.h"

namespace vantrel {
namespace {

// The line number reported for a script, or 0 when it runs.
std::int64_t FaultLine(const std::string& script, std::string* message = nullptr) {
    ScriptCanvas canvas;
    ScriptError error;
    const bool ran = ScriptRun(script, canvas, error);
    ScriptCanvasRelease(canvas);
    if (message != nullptr) {
        *message = error.message;
    }
    return ran ? 0 : error.line;
}

TEST(ScriptReader, ReplaysCommentsBlankLinesTabsAndCrLf) {
    const std::string script = "# header\r\n\r\nsize 4 3   # comment\r\n\tpen 0 0x000000ff\r\nline 0 0 4 0\r\npixel 3 2 0x00FF0000";
    ScriptCanvas canvas;
    ScriptError error;
    ASSERT_TRUE(ScriptRun(script, canvas, error)) << error.message;
    const std::string ppm = PpmFromSurface(*DcSurface(canvas.dc));
    ScriptCanvasRelease(canvas);
    const std::string header = "P6\n4 3\n255\n";
    ASSERT_EQ(ppm.size(), header.size() + 36);
    EXPECT_EQ(ppm.substr(0, header.size()), header);
    EXPECT_EQ(ppm.substr(header.size(), 3), std::string("\xFF\x00\x00", 3)) << "red line on row 0";
    EXPECT_EQ(ppm.substr(header.size() + 33, 3), std::string("\x00\x00\xFF", 3)) << "blue pixel at (3, 2)";
    RgbImage image;
    ASSERT_TRUE(PpmParse(ppm, image));
    EXPECT_EQ(image.width, 4);
    EXPECT_EQ(image.rgb[33 + 2], 0xFF);
    EXPECT_FALSE(PpmParse("P6\n4 3\n255\n\x01", image)) << "too few pixels";
    EXPECT_FALSE(PpmParse("P3\n1 1\n255\n0 0 0", image));
}

TEST(ScriptReader, MalformedLinesAreReportedWithTheirLineNumber) {
    const std::string size = "size 8 8\n";
    EXPECT_EQ(FaultLine(size + "circle 1 2 3\n"), 2);
    EXPECT_EQ(FaultLine(size + "\n# fine\nline 1 2 3\n"), 4) << "missing token";
    EXPECT_EQ(FaultLine(size + "line 1 2 3 4 5\n"), 2) << "extra token";
    EXPECT_EQ(FaultLine(size + "line 1 2 3 2147483648\n"), 2) << "beyond 32 bits";
    EXPECT_EQ(FaultLine(size + "line 1 2 3 -2147483649\n"), 2);
    EXPECT_EQ(FaultLine(size + "line 1 2 3 -2147483648\n"), 0);
    EXPECT_EQ(FaultLine(size + "line 1 2 3 +4\n"), 2);
    EXPECT_EQ(FaultLine(size + "line 1 2 3 0x4\n"), 2);
    EXPECT_EQ(FaultLine(size + "pixel 1 2 0x01000000\n"), 2) << "colour top byte must be 0";
    EXPECT_EQ(FaultLine(size + "pixel 1 2 255\n"), 2) << "colours need 0x";
    EXPECT_EQ(FaultLine(size + "pixel 1 2 0x\n"), 2);
    EXPECT_EQ(FaultLine(size + "pixel 1 2 0x00GG0000\n"), 2);
    EXPECT_EQ(FaultLine(size + "rop2 0\n"), 2);
    EXPECT_EQ(FaultLine(size + "rop2 17\n"), 2);
    EXPECT_EQ(FaultLine(size + "pen 2 0x0\n"), 2);
    EXPECT_EQ(FaultLine(size + "brush 7 0x00123456\n"), 0) << "any kind but 1 is a solid brush";
    EXPECT_EQ(FaultLine(size + "gradrect 0 0 4 4 2 0x0 0x0\n"), 2);
    EXPECT_EQ(FaultLine(size + "polygon 3 0 0 1 1\n"), 2) << "count mismatch";
    EXPECT_EQ(FaultLine(size + "polygon 1 0 0\n"), 2);
    EXPECT_EQ(FaultLine(size + "polygon 2000000000 0 0 1 1\n"), 2) << "a huge count allocates nothing";
    EXPECT_EQ(FaultLine(size + "bezier 3 0 0 1 1 2 2\n"), 2);
    EXPECT_EQ(FaultLine(size + "bezier 5 0 0 1 1 2 2 3 3 4 4\n"), 2);
    EXPECT_EQ(FaultLine(size + "gradtri 0 0 0x0 1 1 0x0 2 2\n"), 2);
    std::string message;
    EXPECT_EQ(FaultLine(size + "polygon 1000001 0 0\n", &message), 2);
    EXPECT_EQ(message, "a polygon may have at most 1000000 points");
}

TEST(ScriptReader, EchoedInputIsPrintableAndShort) {
    const std::string x80(80, 'x');
    const struct {
        std::string input;
        std::string shown;
    } cases[] = {
        {"pixel", "pixel"},
        {"a\\b", "a\\\\b"},
        {"\x1B[2J\x7F", "\\x1B[2J\\x7F"},
        {std::string("\0\xFF\xC3\xA9", 4), "\\x00\\xFF\\xC3\\xA9"},
        {x80, x80},
        {x80 + "y", std::string(77, 'x') + "..."},
        {std::string(20, '\x01'), [] { std::string s; for (int i = 0; i < 20; ++i) s += "\\x01"; return s; }()},
        {std::string(76, 'x') + "\x01x", std::string(76, 'x') + "..."},  // an escape is never split
    };
    for (const auto& c : cases) EXPECT_EQ(PrintableEcho(c.input), c.shown) << c.shown;
    // The reader's message about an unknown operation quotes it that way.
    std::string message;
    EXPECT_EQ(FaultLine("size 2 2\n\x1B]0;title\x07" + std::string(500, 'z') + "\n", &message), 2);
    EXPECT_EQ(message, "unknown operation '" + PrintableEcho("\x1B]0;title\x07" + std::string(500, 'z')) + "'");
}

TEST(ScriptReader, SizeMustComeFirstOnceAndWithinLimits) {
    std::string message;
    EXPECT_EQ(FaultLine("# nothing\n\n", &message), 1);
    EXPECT_EQ(message, "the script has no size operation");
    EXPECT_EQ(FaultLine("pen 0 0x0\nsize 4 4\n"), 1);
    EXPECT_EQ(FaultLine("size 4 4\nsize 4 4\n"), 2);
    EXPECT_EQ(FaultLine("size 16385 1\n"), 1);
    EXPECT_EQ(FaultLine("size 1 16385\n"), 1);
    EXPECT_EQ(FaultLine("size 0 4\n"), 1);
    EXPECT_EQ(FaultLine("size 2000000000 2000000000\n"), 1);
    EXPECT_EQ(FaultLine("size 16384 1\npixel 16383 0 0x00FFFFFF\n"), 0);
    // A fault late in the script means nothing is drawn at all.
    ScriptCanvas canvas;
    ScriptError error;
    EXPECT_FALSE(ScriptRun("size 4 4\npixel 0 0 0x00FFFFFF\nbogus\n", canvas, error));
    EXPECT_EQ(canvas.dc, nullptr);
    EXPECT_EQ(error.line, 3);
}

TEST(ScriptReader, GarbledScriptsNeverCrashAndFaultsNameARealLine) {
    const std::string pieces[] = {"size", "4", "3", "-2147483648", "2147483647", "99999999999", "0x00FFFFFF",
                                  "0x", "polygon", "bezier", "line", "gradrect", "gradtri", "pixel", "pen",
                                  "brush", "rop2", "#", "\t", " ", "\r", "\n", "\n", "7", "-", "\x01", "\x1B[0m",
                                  "\r\n", std::string(120, 'q')};
    Random random;
    RandomSeed(random, 77.0);
    for (int round = 0; round < 3000; ++round) {
        std::string script = round % 2 == 0 ? "size 5 4\n" : "";
        const int length = 1 + static_cast<int>(RandomUniform(random) * 40);
        for (int k = 0; k < length; ++k) {
            script += pieces[static_cast<std::size_t>(RandomUniform(random) * std::size(pieces))];
            script += RandomUniform(random) < 0.6f ? " " : "";
        }
        const std::int64_t lines = 1 + static_cast<std::int64_t>(std::count(script.begin(), script.end(), '\n'));
        std::string message;
        const std::int64_t line = FaultLine(script, &message);
        ASSERT_GE(line, 0);
        ASSERT_LE(line, lines) << script;
        ASSERT_TRUE(std::all_of(message.begin(), message.end(), [](char c) { return c >= ' ' && c <= '~'; })) << message;
        ASSERT_LE(message.size(), 120u);
        // Handed over in pieces of any size, the script reads the same.
        ScriptReplay replay;
        for (std::size_t at = 0; at < script.size();) {
            const std::size_t piece = 1 + static_cast<std::size_t>(RandomUniform(random) * 8);
            replay.Feed(std::string_view(script).substr(at, piece));
            at += piece;
        }
        const bool ran = replay.Finish();
        ScriptCanvas canvas = replay.TakeCanvas();
        ScriptCanvasRelease(canvas);
        ASSERT_EQ(ran ? 0 : replay.error().line, line) << script;
        ASSERT_EQ(replay.error().message, message) << script;
    }
}

}  // namespace
}  // namespace vantrel
