#pragma once
// Start-up and shut-down of the program's state, in order. The window layer creates its window,
// panels, menu and accelerators first and starts the frame timer after StartProgram.
#include "app/host.h"
#include "app/program.h"

namespace vantrel {

// Connects the window procedure to the host and routes error reports to its modal box. The
// window layer does this before showing its window, whose first messages need the host.
void ConnectHost(Program& program, Host& host);
// Connects the host (if not yet), routes error reports to its modal box, creates the back buffer at the
// screen's size, seeds the generator from the time of day and builds the default scene (which
// makes the first frame due at the first tick, so the timer started next has work). The scene
// tables and the renderer's work arrays already exist: the Program record allocates them.
void StartProgram(Program& program, Host& host);
// Releases the back buffer and the strips' surfaces; call after the frame timer has stopped.
void StopProgram(Program& program);

}  // namespace vantrel
