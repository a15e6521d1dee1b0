#pragma once
// Inside of a drawing object (private to the canvas).
#include <cstdint>

#include "canvas/gdi_objects.h"

namespace vantrel {

struct GdiObject {
    ObjectKind kind = ObjectKind::Pen;
    bool stock = false;
    std::int32_t selections = 0;  // device contexts holding it; a selected object is not deleted
    std::int32_t penStyle = PS_SOLID;
    ColorRef color = 0;          // pen or brush colour
    bool hollow = false;         // brush that fills nothing, pen that draws nothing
    Surface surface;             // bitmap pixels
    bool ownsPixels = false;     // false for a bitmap over the caller's memory
    FontEngine* engine = nullptr;  // font: its own engine, or none for the context's one
};

// Pens and brushes that draw nothing: PS_NULL, the hollow brush, or no object at all.
inline bool ObjectDrawsNothing(ObjectHandle object) { return object == nullptr || object->hollow; }

}  // namespace vantrel
