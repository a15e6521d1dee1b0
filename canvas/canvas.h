#pragma once
// The whole drawing interface in one include.
#include "canvas/device_context.h"
#include "canvas/drawing.h"
#include "canvas/font_engine.h"
#include "canvas/gdi_objects.h"
#include "canvas/surface.h"
