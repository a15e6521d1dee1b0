#include "app/startup.h"

#include "app/frame.h"
#include "scene/camera.h"

namespace vantrel {
namespace {

// While the box is open the window procedure carries out nothing, so the interrupted
// operation finds the program as it left it when the box closes.
void ReportThroughHost(void* context, const char* caption, const char* text) {
    Program& program = *static_cast<Program*>(context);
    ++program.shell.modalDepth;
    program.host->ShowErrorBox(caption, text);
    --program.shell.modalDepth;
    FollowTicks(program);  // what the box held back is due at the next tick
}

}  // namespace

void ConnectHost(Program& program, Host& host) {
    program.host = &host;
    program.scene.reporter = ErrorReporter{ReportThroughHost, &program};
}

void StartProgram(Program& program, Host& host) {
    ConnectHost(program, host);
    program.shell.pixelRatio = SanePixelRatio(host.AdoptPixelRatio());
    host.ScreenSize(program.shell.screenWidth, program.shell.screenHeight);
    CreateProgramBackBuffer(program, program.shell.screenWidth, program.shell.screenHeight);
    RandomSeed(program.random, host.SecondsSinceMidnight());
    BuildDefaultScene(program.scene, program.orbit);
    program.shell.ticksResting = false;  // the window layer starts timer 1 next
}

void StopProgram(Program& program) {
    DestroyBackBuffer(program.target);
    DestroyBackBuffer(program.paletteTarget);
    DestroyBackBuffer(program.shineTarget);
    program.shell.backBufferWidth = 0;
    program.shell.backBufferHeight = 0;
}

}  // namespace vantrel
