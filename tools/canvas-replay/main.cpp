// canvas-replay SCRIPT OUT.ppm: draws a drawing script on the canvas and writes the surface.
// Exit codes: 0 done, 1 a file could not be read or written, 2 usage or a malformed script.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

#include "tools/canvas-replay/ppm.h"
#include "tools/canvas-replay/script_reader.h"

namespace {

// Scripts larger than this are refused rather than read into memory.
constexpr std::size_t kMaxScriptBytes = 256LL * 1024 * 1024;

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: canvas-replay SCRIPT OUT.ppm\n";
        return 2;
    }
    const std::string scriptPath = argv[1];
    std::ifstream in(scriptPath, std::ios::binary);
    if (!in) {
        std::cerr << "canvas-replay: cannot read " << scriptPath << "\n";
        return 1;
    }
    // Read in pieces so that even an endless stream stops at the limit.
    std::string text;
    char piece[65536];
    while (in.read(piece, sizeof piece) || in.gcount() > 0) {
        text.append(piece, static_cast<std::size_t>(in.gcount()));
        if (text.size() > kMaxScriptBytes) {
            std::cerr << "canvas-replay: " << scriptPath << ": script larger than 256 MiB\n";
            return 2;
        }
    }
    if (in.bad()) {
        std::cerr << "canvas-replay: cannot read " << scriptPath << "\n";
        return 1;
    }
    vantrel::ScriptCanvas canvas;
    vantrel::ScriptError error;
    if (!vantrel::ScriptRun(text, canvas, error)) {
        std::cerr << "canvas-replay: " << scriptPath << ":" << error.line << ": " << error.message << "\n";
        return 2;
    }
    const std::string image = vantrel::PpmFromSurface(*vantrel::DcSurface(canvas.dc));
    vantrel::ScriptCanvasRelease(canvas);
    std::ofstream out(argv[2], std::ios::binary);
    out.write(image.data(), static_cast<std::streamsize>(image.size()));
    out.close();
    if (!out) {
        std::cerr << "canvas-replay: cannot write " << argv[2] << "\n";
        return 1;
    }
    return 0;
}
