#pragma once
// Drawing objects: pens, brushes, bitmaps and fonts, named by handles. A handle of 0 (nullptr)
// means "none"; every operation accepts it and does nothing. Stock objects are shared, never
// freed, and ignore DeleteObject. Handles given to these functions must be 0, stock, or live.
#include <cstdint>

#include "geometry/color.h"
#include "canvas/surface.h"

namespace vantrel {

struct GdiObject;
class FontEngine;
using ObjectHandle = GdiObject*;

enum class ObjectKind : std::int32_t { Pen = 1, Brush = 2, Bitmap = 3, Font = 4 };

// Pen styles (CreatePen).
inline constexpr std::int32_t PS_SOLID = 0;
inline constexpr std::int32_t PS_NULL = 5;

// Stock objects (GetStockObject).
inline constexpr std::int32_t WHITE_BRUSH = 0;
inline constexpr std::int32_t BLACK_BRUSH = 4;
inline constexpr std::int32_t NULL_BRUSH = 5;
inline constexpr std::int32_t HOLLOW_BRUSH = NULL_BRUSH;
inline constexpr std::int32_t WHITE_PEN = 6;
inline constexpr std::int32_t BLACK_PEN = 7;
inline constexpr std::int32_t NULL_PEN = 8;
inline constexpr std::int32_t ANSI_VAR_FONT = 12;
inline constexpr std::int32_t SYSTEM_FONT = 13;
// A solid brush in the colour of the context it is selected into (SetDCBrushColor).
inline constexpr std::int32_t DC_BRUSH = 18;

// Only PS_SOLID and PS_NULL are drawn; other styles draw as PS_SOLID. Every width draws one
// pixel wide. Returns 0 when memory runs out.
ObjectHandle CreatePen(std::int32_t style, std::int32_t width, ColorRef color);
ObjectHandle CreateSolidBrush(ColorRef color);
// A black bitmap of width x height; 0 for sides outside 1 .. kSurfaceMaxSide.
ObjectHandle CreateBitmap(std::int32_t width, std::int32_t height);
// A bitmap over pixels the caller owns (they must outlive it; DeleteObject leaves them alone);
// 0 for an empty or oversized surface.
ObjectHandle CreateBitmapOver(const Surface& pixels);
// A font drawn by the given engine (not owned; it must outlive the font).
ObjectHandle CreateFontObject(FontEngine* engine);
// The stock object of that number, or 0 for an unknown number.
ObjectHandle GetStockObject(std::int32_t index);

// Frees a created object. False for 0 and for an object still selected into a device context
// (it stays alive, as on the desktop platform); true and no effect for stock objects.
bool DeleteObject(ObjectHandle object);

// Created objects not yet deleted, process-wide (stock objects are not counted).
std::int64_t LiveObjectCount();

// Queries; 0 / empty for 0 or a handle of another kind.
ObjectKind ObjectKindOf(ObjectHandle object);
bool IsStockObject(ObjectHandle object);
// The bitmap's pixels, or nullptr.
Surface* BitmapSurface(ObjectHandle bitmap);

}  // namespace vantrel
