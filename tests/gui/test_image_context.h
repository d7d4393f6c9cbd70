#pragma once

// The offscreen context of the backend this build draws with, so the same
// pixel tests check cairo natively and GDI+ under Wine.
#ifdef _WIN32
#include "gui/win32/gdi_image_context.h"
using TestImageContext = GdiImageContext;
#else
#include "gui/cairo/cairo_image_context.h"
using TestImageContext = CairoImageContext;
#endif
