#pragma once
// The Program record: all process-wide state of the running program, owned by main() (or by
// a test), passed by reference to every operation. Creating one allocates the scene tables and
// the renderer's work arrays once, at their fixed capacity.
#include <cstdint>

#include "app/host.h"
#include "geometry/orbit.h"
#include "geometry/random.h"
#include "render/render_target.h"
#include "render/render_work.h"
#include "scene/scene.h"

namespace vantrel {

class FontEngine;

// Mouse navigation, light placement, hover and paint state.
struct PointerState {
    std::int32_t lastMouseX = 0;  // previous mouse move over the view, view coordinates
    std::int32_t lastMouseY = 0;
    Truth lightPlacement = kFalse;  // Shift held: the orbit places the light, not the camera
    std::int32_t lightPointer = 0;  // mesh marking the light while Shift is held; 0 = none
    std::int32_t hoverFace = 0;      // face under the pointer at the last plain move; 0 = none
    std::int32_t highlightFace = 0;  // face whose outline is inverted in the back buffer; 0 = none
    ColorRef paintColor = 0x00000000;
    float paintShine = 0;  // 0..1
};

struct ShellState {
    PanelRect panels[kPanelCount + 1];  // by PanelId, in main-window client coordinates
    std::int32_t modalDepth = 0;        // error boxes open; while non-zero nothing is carried out
    std::int64_t framesRendered = 0;    // frames UpdateView has drawn since start-up
    std::int32_t backBufferWidth = 0;   // size of the back buffer's surface, pixels
    std::int32_t backBufferHeight = 0;
};

struct Program {
    Scene scene;
    Orbit orbit;
    Random random;
    RenderWork work;
    RenderTarget target;         // the back buffer
    RenderTarget paletteTarget;  // the palette and shine strips as painted, panel-sized
    RenderTarget shineTarget;
    PointerState pointer;
    ShellState shell;
    Host* host = nullptr;              // set by StartProgram
    FontEngine* fontEngine = nullptr;  // text of the overlay; null: the canvas's built-in font

    Program() = default;
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;
};

}  // namespace vantrel
