#pragma once

#include <cairo.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tvx {

// A transparent 32-bit ARGB image with its cairo context.
class Canvas {
public:
    Canvas(int width, int height);
    ~Canvas();
    Canvas(Canvas&& other) noexcept;
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    Canvas& operator=(Canvas&&) = delete;

    cairo_t* cr() const { return cr_; }
    cairo_surface_t* surface() const { return surface_; }
    int width() const { return width_; }
    int height() const { return height_; }

    // Encoded PNG bytes; empty when cairo fails.
    std::vector<std::uint8_t> encodePng() const;
    bool writePng(const std::string& path) const;

private:
    int width_;
    int height_;
    cairo_surface_t* surface_;
    cairo_t* cr_;
};

}  // namespace tvx
