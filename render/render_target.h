#pragma once
// The back buffer every frame is drawn into: a memory device context holding a screen-sized
// bitmap, plus the pen and brush that SelectPen / SelectBrush put into it.
#include <cstdint>

#include "canvas/device_context.h"

namespace vantrel {

struct RenderTarget {
    DcHandle dc = nullptr;                // everything draws here; 0 before creation
    ObjectHandle bitmap = nullptr;        // the back buffer, the screen's size at creation
    ObjectHandle previousBitmap = nullptr;  // what dc held before bitmap was selected
    ObjectHandle pen = nullptr;           // pen created by SelectPen; 0 when none
    ObjectHandle previousPen = nullptr;   // the pen it displaced
    ObjectHandle brush = nullptr;         // brush selected by SelectBrush; 0 when none
    ObjectHandle previousBrush = nullptr;  // the brush it displaced
    std::int32_t brushKind = 0;           // 1 = the stock hollow brush, else a created solid brush
};

// Creates the back buffer of the screen's size (supplied by the window layer) and fills it with
// the background gradient. When the context or bitmap cannot be created the fields stay 0 and
// every later drawing call draws nothing.
void CreateBackBuffer(RenderTarget& target, std::int32_t screenWidth, std::int32_t screenHeight);
// Releases what CreateBackBuffer made (each step only for a non-zero handle) and zeroes the record.
void DestroyBackBuffer(RenderTarget& target);

// Presenting (PresentView) and copying the back buffer into the view panel belong to the window
// shell: it wraps DcSurface(target.dc) as an image and repaints the panel from it.

}  // namespace vantrel
