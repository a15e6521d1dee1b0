#pragma once
// The pen, brush and gradient-rectangle operations every drawing step shares.
#include <cstdint>

#include "geometry/color.h"
#include "render/render_target.h"

namespace vantrel {

// Brush kinds for SelectBrush.
inline constexpr std::int32_t kBrushSolid = 0;
inline constexpr std::int32_t kBrushHollow = 1;

// Background of the view: black at the top edge, pure blue at the bottom edge.
inline constexpr ColorRef kBackgroundTop = 0x00000000;
inline constexpr ColorRef kBackgroundBottom = 0x00FF0000;

// Creates a one-pixel pen of the style (PS_SOLID, PS_NULL) and colour, selects it into
// target.dc and remembers it and what it displaced.
void SelectPen(RenderTarget& target, std::int32_t style, ColorRef color);
// Kind 1 takes the stock hollow brush, any other kind a new solid brush of the colour.
void SelectBrush(RenderTarget& target, std::int32_t kind, ColorRef color);
// Reselects what SelectPen / SelectBrush displaced and deletes what they created. Harmless when
// nothing is held, and when called twice.
void RestorePenBrush(RenderTarget& target);

// Fills (x0, y0)-(x1, y1), corners rounded to the nearest pixel, with a linear blend from color0
// to color1: left to right when direction is 1, top to bottom otherwise.
void GradientRect(DcHandle dc, float x0, float y0, float x1, float y1, std::int32_t direction, ColorRef color0,
                  ColorRef color1);
// The view background over (0, 0)-(width, height).
void DrawBackground(DcHandle dc, float width, float height);

}  // namespace vantrel
