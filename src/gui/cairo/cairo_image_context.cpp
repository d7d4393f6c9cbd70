#include "gui/cairo/cairo_image_context.h"

#include <cairo.h>

#include <cstring>

namespace tvx {

CairoImageContext::CairoImageContext(int32_t width, int32_t height)
    : CairoImageContext(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width > 0 ? width : 1,
                                                   height > 0 ? height : 1),
                        width > 0 ? width : 1, height > 0 ? height : 1) {}

CairoImageContext::CairoImageContext(cairo_surface_t* surface, int32_t width, int32_t height)
    : CairoDrawContext(cairo_create(surface), {0, 0, width, height}), surface_(surface) {}

CairoImageContext::~CairoImageContext() {
    cairo_destroy(cairo());
    cairo_surface_destroy(surface_);
}

CColor CairoImageContext::pixelAt(int32_t x, int32_t y) {
    const CRect& size = getSurfaceRect();
    if (!size.pointInside({x, y})) return kTransparentCColor;
    cairo_surface_flush(surface_);
    const unsigned char* data = cairo_image_surface_get_data(surface_);
    const int stride = cairo_image_surface_get_stride(surface_);
    uint32_t p;
    std::memcpy(&p, data + size_t(y) * size_t(stride) + size_t(x) * 4, 4);
    const uint8_t a = uint8_t(p >> 24);
    if (a == 0) return kTransparentCColor;
    auto straight = [a](uint32_t v) { return uint8_t((v * 255 + a / 2) / a); };
    return {straight((p >> 16) & 0xff), straight((p >> 8) & 0xff), straight(p & 0xff), a};
}

void CairoImageContext::clear(const CColor& color) {
    cairo_t* cr = cairo();
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_rgba(cr, color.red / 255.0, color.green / 255.0, color.blue / 255.0, color.alpha / 255.0);
    cairo_paint(cr);
    cairo_restore(cr);
}

bool CairoImageContext::writePng(const std::string& path) {
    cairo_surface_flush(surface_);
    return cairo_surface_write_to_png(surface_, path.c_str()) == CAIRO_STATUS_SUCCESS;
}

CBitmap CairoImageContext::toBitmap() {
    cairo_surface_flush(surface_);
    const int width = cairo_image_surface_get_width(surface_);
    const int height = cairo_image_surface_get_height(surface_);
    const int stride = cairo_image_surface_get_stride(surface_);
    const unsigned char* data = cairo_image_surface_get_data(surface_);
    std::vector<uint32_t> pixels(size_t(width) * size_t(height));
    for (int y = 0; y < height; ++y)
        std::memcpy(pixels.data() + size_t(y) * size_t(width), data + size_t(y) * size_t(stride), size_t(width) * 4);
    return CBitmap(width, height, std::move(pixels));
}

}  // namespace tvx
