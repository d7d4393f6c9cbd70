#include "gui/x11/x11_image_blit.h"

#include <X11/Xutil.h>
#include <cairo.h>

namespace tvx {

bool isBlitCompatible(const Visual* visual, int depth) {
    return visual != nullptr && (depth == 24 || depth == 32) && visual->red_mask == 0xFF0000 &&
           visual->green_mask == 0x00FF00 && visual->blue_mask == 0x0000FF;
}

void blitImage(Display* display, Drawable drawable, GC gc, Visual* visual, int depth, cairo_surface_t* image,
               const CRect& area) {
    cairo_surface_flush(image);
    const int width = cairo_image_surface_get_width(image);
    const int height = cairo_image_surface_get_height(image);
    CRect part = area;
    part.bound(CRect(0, 0, width, height));
    if (part.isEmpty()) return;
    XImage* ximage = XCreateImage(display, visual, unsigned(depth), ZPixmap, 0,
                                  reinterpret_cast<char*>(cairo_image_surface_get_data(image)), unsigned(width),
                                  unsigned(height), 32, cairo_image_surface_get_stride(image));
    if (ximage == nullptr) return;
    // cairo's pixels are 32-bit words in the machine's order; Xlib converts
    // them for the server if its order differs.
    const unsigned int probe = 1;
    ximage->byte_order = *reinterpret_cast<const unsigned char*>(&probe) == 1 ? LSBFirst : MSBFirst;
    XPutImage(display, drawable, gc, ximage, int(part.left), int(part.top), int(part.left), int(part.top),
              unsigned(part.width()), unsigned(part.height()));
    ximage->data = nullptr;  // the pixels belong to cairo
    XDestroyImage(ximage);
}

}  // namespace tvx
