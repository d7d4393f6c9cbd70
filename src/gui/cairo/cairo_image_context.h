#pragma once

#include "gui/cairo/cairo_draw_context.h"

#include <cstdint>
#include <string>

namespace tvx {

// An offscreen ARGB image to draw into: tests read its pixels and write
// it out as PNG to look at.
class CairoImageContext : public CairoDrawContext {
public:
    CairoImageContext(int32_t width, int32_t height);
    ~CairoImageContext() override;

    // Straight-alpha colour of one pixel (device coordinates).
    CColor pixelAt(int32_t x, int32_t y);
    void clear(const CColor& color);
    bool writePng(const std::string& path);
    // A copy of the image as a bitmap.
    CBitmap toBitmap();

private:
    CairoImageContext(cairo_surface_t* surface, int32_t width, int32_t height);

    cairo_surface_t* surface_;
};

}  // namespace tvx
