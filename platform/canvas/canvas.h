#pragma once
// The whole drawing interface in one include.
#include "platform/canvas/device_context.h"
#include "platform/canvas/drawing.h"
#include "platform/canvas/font_engine.h"
#include "platform/canvas/gdi_objects.h"
#include "platform/canvas/surface.h"
