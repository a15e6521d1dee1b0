// canvas-replay SCRIPT OUT.ppm: draws a drawing script on the canvas and writes the surface.
// Exit codes: 0 done, 1 a file could not be read or written or memory ran out, 2 usage or a
// malformed script.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <new>
#include <string>

#include "tools/canvas-replay/ppm.h"
#include "tools/canvas-replay/script_reader.h"
#include "tools/printable_echo.h"

namespace {

// Scripts larger than this are refused, so that even an endless stream comes to an end.
constexpr std::size_t kMaxScriptBytes = 256LL * 1024 * 1024;

int Replay(const std::string& scriptPath, const std::string& outPath) {
    const std::string shownScript = vantrel::PrintableEcho(scriptPath);
    std::ifstream in(scriptPath, std::ios::binary);
    if (!in) {
        std::cerr << "canvas-replay: cannot read " << shownScript << "\n";
        return 1;
    }
    // Read and drawn piece by piece: only the surface and one line's points stay in memory.
    vantrel::ScriptReplay replay;
    std::size_t total = 0;
    char piece[65536];
    bool fine = true;
    while (fine && (in.read(piece, sizeof piece) || in.gcount() > 0)) {
        total += static_cast<std::size_t>(in.gcount());
        if (total > kMaxScriptBytes) {
            std::cerr << "canvas-replay: " << shownScript << ": script larger than 256 MiB\n";
            return 2;
        }
        fine = replay.Feed(std::string_view(piece, static_cast<std::size_t>(in.gcount())));
    }
    if (in.bad()) {
        std::cerr << "canvas-replay: cannot read " << shownScript << "\n";
        return 1;
    }
    if (!fine || !replay.Finish()) {
        const vantrel::ScriptError& error = replay.error();
        std::cerr << "canvas-replay: " << shownScript << ":" << error.line << ": " << error.message << "\n";
        return error.outOfMemory ? 1 : 2;
    }
    vantrel::ScriptCanvas canvas = replay.TakeCanvas();
    std::ofstream out(outPath, std::ios::binary);
    const bool written = out && vantrel::PpmWrite(*vantrel::DcSurface(canvas.dc), out);
    vantrel::ScriptCanvasRelease(canvas);
    out.close();
    if (!written || !out) {
        std::cerr << "canvas-replay: cannot write " << vantrel::PrintableEcho(outPath) << "\n";
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: canvas-replay SCRIPT OUT.ppm\n";
        return 2;
    }
    // Whatever runs out of memory outside the replay's own care still ends with a message.
    try {
        return Replay(argv[1], argv[2]);
    } catch (const std::bad_alloc&) {
        std::fputs("canvas-replay: out of memory\n", stderr);
        return 1;
    }
}
