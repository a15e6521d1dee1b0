#pragma once
// The Program record: all process-wide state of the running program, owned by main() (or by
// a test), passed by reference to every operation. Creating one allocates the scene tables and
// the renderer's work arrays once, at their fixed capacity.
#include <cstdint>

#include "app/host.h"
#include "app/overlay_text.h"
#include "geometry/orbit.h"
#include "geometry/random.h"
#include "interaction/interaction_state.h"
#include "render/render_frame.h"
#include "render/render_target.h"
#include "render/render_work.h"
#include "scene/scene.h"

namespace vantrel {

class FontEngine;

inline constexpr std::int32_t kViewDescriptionBytes = 1024;  // the overlay's six rows joined, with room to spare

// Where the last frame's pixels are.
enum class FramePixels : std::uint8_t {
    InBackBuffer,  // drawn into the back buffer, which the view is painted from
    Undrawn,       // prepared by a tick; the view's next repaint draws it
    InWindowOnly,  // drawn straight into the window's image; the back buffer holds an older picture
    Replaced,      // in the window only, and its work arrays are being rewritten for the next frame
};

struct ShellState {
    PanelRect panels[kPanelCount + 1];  // by PanelId, in main-window client coordinates
    std::int32_t modalDepth = 0;        // error boxes open; while non-zero nothing is carried out
    bool shiftUpHeldBack = false;       // Shift was released while a box was open; not yet acted on
    bool ratioChangeHeldBack = false;   // the pixel ratio changed while a box was open; not yet acted on
    double pixelRatio = 1.0;            // device pixels per logical pixel of the back buffer and strips
    std::int64_t framesRendered = 0;    // frames UpdateView has drawn since start-up
    std::int32_t backBufferWidth = 0;   // size of the back buffer's surface, device pixels
    std::int32_t backBufferHeight = 0;
    std::int32_t screenWidth = 0;       // the screen's size in device pixels when the back buffer was made for it
    std::int32_t screenHeight = 0;
    char viewDescription[kViewDescriptionBytes] = {};  // the overlay's rows as last told to the host
    bool ticksResting = false;          // the host was told timer 1 has no work, and nothing since gave it some
    // The last frame as prepared, with its overlay rows: enough to draw its pixels again.
    PreparedView frame;
    OverlayText frameOverlay;
    FramePixels framePixels = FramePixels::InBackBuffer;
};

struct Program {
    Scene scene;
    Orbit orbit;
    Random random;
    RenderWork work;
    RenderTarget target;         // the back buffer
    RenderTarget paletteTarget;  // the palette and shine strips as painted, panel-sized in device pixels
    RenderTarget shineTarget;
    InteractionState interaction;
    ShellState shell;
    Host* host = nullptr;              // set by StartProgram
    FontEngine* fontEngine = nullptr;  // text of the overlay; null: the canvas's built-in font

    Program() = default;
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;
};

}  // namespace vantrel
