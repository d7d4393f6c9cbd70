#include "gui/c_bitmap.h"
#include "gui/png_decoder.h"

#include <cairo.h>

#include <cstring>

namespace tvx {

namespace {

struct ByteReader {
    const uint8_t* data;
    size_t size;
    size_t position;
};

cairo_status_t readBytes(void* closure, unsigned char* out, unsigned int length) {
    auto* reader = static_cast<ByteReader*>(closure);
    if (reader->size - reader->position < length) return CAIRO_STATUS_READ_ERROR;
    std::memcpy(out, reader->data + reader->position, length);
    reader->position += length;
    return CAIRO_STATUS_SUCCESS;
}

bool copyPixels(cairo_surface_t* surface, DecodedImage& out) {
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) return false;
    const int width = cairo_image_surface_get_width(surface);
    const int height = cairo_image_surface_get_height(surface);
    if (!CBitmap::sizeAllowed(width, height)) return false;
    const cairo_format_t format = cairo_image_surface_get_format(surface);
    if (format != CAIRO_FORMAT_ARGB32 && format != CAIRO_FORMAT_RGB24) return false;
    cairo_surface_flush(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    out.width = width;
    out.height = height;
    out.pixels.resize(size_t(width) * size_t(height));
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(data + size_t(y) * size_t(stride));
        uint32_t* dest = out.pixels.data() + size_t(y) * size_t(width);
        if (format == CAIRO_FORMAT_ARGB32) {
            std::memcpy(dest, row, size_t(width) * 4);
        } else {
            for (int x = 0; x < width; ++x) dest[x] = row[x] | 0xff000000u;
        }
    }
    return true;
}

}  // namespace

bool decodePngData(const uint8_t* data, size_t size, DecodedImage& out) {
    int64_t width = 0;
    int64_t height = 0;
    if (!readPngHeaderSize(data, size, width, height) || !CBitmap::sizeAllowed(width, height)) return false;
    ByteReader reader{data, size, 0};
    cairo_surface_t* surface = cairo_image_surface_create_from_png_stream(readBytes, &reader);
    const bool ok = copyPixels(surface, out);
    cairo_surface_destroy(surface);
    return ok;
}

}  // namespace tvx
