#pragma once

#include "gui/c_rect.h"

#include <X11/Xlib.h>

typedef struct _cairo_surface cairo_surface_t;

namespace tvx {

// Windows are painted with cairo into image surfaces in memory and copied
// to the server: cairo's own X11 surfaces keep a record of every
// connection they drew text on after the connection is closed, which an
// editor opened and closed many times would pile up.

// True for the visuals the copy handles: 24 bits of red, green and blue
// in the usual masks (every desktop's default).
bool isBlitCompatible(const Visual* visual, int depth);

// Copies `area` of an RGB24 or ARGB32 image surface to the same place of
// `drawable`.
void blitImage(Display* display, Drawable drawable, GC gc, Visual* visual, int depth, cairo_surface_t* image,
               const CRect& area);

}  // namespace tvx
