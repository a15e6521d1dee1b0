#pragma once
// Device contexts: drawing state over a bitmap. A context without a bitmap, and a null
// context handle, accept every call and draw nothing.
#include <cstdint>

#include "geometry/color.h"
#include "geometry/point.h"
#include "canvas/gdi_objects.h"

namespace vantrel {

class FontEngine;

// Raster operations (SetROP2): result bit = bit (2 * pen + destination) of (rop - 1).
inline constexpr std::int32_t R2_BLACK = 1;
inline constexpr std::int32_t R2_NOTMERGEPEN = 2;
inline constexpr std::int32_t R2_MASKNOTPEN = 3;
inline constexpr std::int32_t R2_NOTCOPYPEN = 4;
inline constexpr std::int32_t R2_MASKPENNOT = 5;
inline constexpr std::int32_t R2_NOT = 6;
inline constexpr std::int32_t R2_XORPEN = 7;
inline constexpr std::int32_t R2_NOTMASKPEN = 8;
inline constexpr std::int32_t R2_MASKPEN = 9;
inline constexpr std::int32_t R2_NOTXORPEN = 10;
inline constexpr std::int32_t R2_NOP = 11;
inline constexpr std::int32_t R2_MERGENOTPEN = 12;
inline constexpr std::int32_t R2_COPYPEN = 13;
inline constexpr std::int32_t R2_MERGEPENNOT = 14;
inline constexpr std::int32_t R2_MERGEPEN = 15;
inline constexpr std::int32_t R2_WHITE = 16;

// Background modes (SetBkMode).
inline constexpr std::int32_t TRANSPARENT = 1;
inline constexpr std::int32_t OPAQUE = 2;

// The colour GetPixel returns for a point outside the surface, and the failure value of
// SetTextColor.
inline constexpr ColorRef CLR_INVALID = 0xFFFFFFFFu;

// Everything a drawing call reads besides its arguments.
struct DcState {
    ObjectHandle pen = nullptr;    // selected pen (a fresh context: stock black pen)
    ObjectHandle brush = nullptr;  // selected brush (a fresh context: stock white brush)
    ObjectHandle font = nullptr;   // selected font (a fresh context: stock system font)
    std::int32_t rop2 = R2_COPYPEN;
    ColorRef textColor = 0x00000000;
    ColorRef backgroundColor = 0x00FFFFFF;  // box behind text in OPAQUE mode
    ColorRef dcBrushColor = 0x00FFFFFF;     // what the stock DC_BRUSH fills with here
    std::int32_t backgroundMode = OPAQUE;
    Point2 position;  // current position for LineTo, device pixels
};

struct DeviceContext {
    ObjectHandle bitmap = nullptr;  // the surface drawn on; none: nothing is drawn
    DcState state;
    FontEngine* fontEngine = nullptr;  // engine for fonts without their own; none: built-in font
};
using DcHandle = DeviceContext*;

// A memory context with no bitmap selected and default state. The reference context is only
// for the familiar signature; it may be 0. Returns 0 when memory runs out.
DcHandle CreateCompatibleDC(DcHandle reference);
// Frees the context; the objects selected into it are released (not deleted).
bool DeleteDC(DcHandle dc);

// Selects a pen, brush, bitmap or font and returns the object of that kind it displaced;
// 0 for a null context, a null object or a bitmap already selected into another context.
ObjectHandle SelectObject(DcHandle dc, ObjectHandle object);
ObjectHandle GetCurrentObject(DcHandle dc, ObjectKind kind);

// Each setter returns the previous value, or 0 (CLR_INVALID for colours) for a null context or
// an argument out of range, which then changes nothing.
std::int32_t SetROP2(DcHandle dc, std::int32_t rop2);
std::int32_t GetROP2(DcHandle dc);
ColorRef SetTextColor(DcHandle dc, ColorRef color);
ColorRef SetBkColor(DcHandle dc, ColorRef color);
// The colour of the stock DC_BRUSH in this context: a brush per colour without creating one.
ColorRef SetDCBrushColor(DcHandle dc, ColorRef color);
std::int32_t SetBkMode(DcHandle dc, std::int32_t mode);
// Engine for text in fonts that have none of their own (stock fonts); 0 selects the built-in one.
void SetFontEngine(DcHandle dc, FontEngine* engine);

// The selected bitmap's surface, or nullptr when none is selected.
Surface* DcSurface(DcHandle dc);

// Saves the state of a context and restores it (re-selecting the objects) when it goes out of
// scope. The saved objects must stay alive meanwhile.
class DcStateGuard {
public:
    explicit DcStateGuard(DcHandle dc);
    ~DcStateGuard();
    DcStateGuard(const DcStateGuard&) = delete;
    DcStateGuard& operator=(const DcStateGuard&) = delete;

private:
    DcHandle dc_;
    DcState saved_;
};

}  // namespace vantrel
