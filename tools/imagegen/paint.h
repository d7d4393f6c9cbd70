#pragma once

#include <cairo.h>

#include <cstdint>

namespace tvx {

class Canvas;

struct Rgba {
    double red, green, blue, alpha;
};

// Colour from 8-bit channels and an opacity 0..1.
constexpr Rgba rgb(int red, int green, int blue, double alpha = 1.0) {
    return {red / 255.0, green / 255.0, blue / 255.0, alpha};
}

void setColor(cairo_t* cr, const Rgba& color);
void addStop(cairo_pattern_t* pattern, double offset, const Rgba& color);

void roundedRectangle(cairo_t* cr, double x, double y, double width, double height, double radius);

// A vertical gradient from `top` to `bottom` filling the current path.
void fillVertical(cairo_t* cr, double y0, double y1, const Rgba& top, const Rgba& bottom);

// A sunken field: dark translucent inside, shadow along the top edge, light
// along the bottom, so a value display laid over it looks set into the panel.
void drawWell(cairo_t* cr, double x, double y, double width, double height, double depth);

// A slightly raised translucent plate with a lit top edge.
void drawPlate(cairo_t* cr, double x, double y, double width, double height, double radius, double strength);

// Fine brushed-metal grain over a pixel rectangle, as light and dark specks
// of at most `strength` opacity; the same seed gives the same grain.
void addGrain(Canvas& canvas, int x, int y, int width, int height, double strength, std::uint32_t seed);

}  // namespace tvx
