#include "paint.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "canvas.h"

namespace tvx {

void setColor(cairo_t* cr, const Rgba& color) {
    cairo_set_source_rgba(cr, color.red, color.green, color.blue, color.alpha);
}

void addStop(cairo_pattern_t* pattern, double offset, const Rgba& color) {
    cairo_pattern_add_color_stop_rgba(pattern, offset, color.red, color.green, color.blue, color.alpha);
}

void roundedRectangle(cairo_t* cr, double x, double y, double width, double height, double radius) {
    const double quarter = M_PI / 2;
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + width - radius, y + radius, radius, -quarter, 0);
    cairo_arc(cr, x + width - radius, y + height - radius, radius, 0, quarter);
    cairo_arc(cr, x + radius, y + height - radius, radius, quarter, 2 * quarter);
    cairo_arc(cr, x + radius, y + radius, radius, 2 * quarter, 3 * quarter);
    cairo_close_path(cr);
}

void fillVertical(cairo_t* cr, double y0, double y1, const Rgba& top, const Rgba& bottom) {
    cairo_pattern_t* gradient = cairo_pattern_create_linear(0, y0, 0, y1);
    addStop(gradient, 0, top);
    addStop(gradient, 1, bottom);
    cairo_set_source(cr, gradient);
    cairo_fill(cr);
    cairo_pattern_destroy(gradient);
}

void drawWell(cairo_t* cr, double x, double y, double width, double height, double depth) {
    cairo_save(cr);
    roundedRectangle(cr, x, y, width, height, 2);
    fillVertical(cr, y, y + height, rgb(0, 0, 0, 0.30 * depth), rgb(0, 0, 0, 0.16 * depth));
    // Light catches the lower lip, shadow falls on the upper one.
    cairo_set_line_width(cr, 0.5);
    cairo_move_to(cr, x + 2, y + height - 0.25);
    cairo_line_to(cr, x + width - 2, y + height - 0.25);
    setColor(cr, rgb(255, 255, 255, 0.45 * depth));
    cairo_stroke(cr);
    cairo_move_to(cr, x + 2, y + 0.75);
    cairo_line_to(cr, x + width - 2, y + 0.75);
    setColor(cr, rgb(0, 0, 0, 0.35 * depth));
    cairo_stroke(cr);
    cairo_restore(cr);
}

void drawPlate(cairo_t* cr, double x, double y, double width, double height, double radius, double strength) {
    cairo_save(cr);
    roundedRectangle(cr, x + 0.5, y + 1, width, height, radius);  // soft drop shadow
    setColor(cr, rgb(0, 0, 0, 0.10 * strength));
    cairo_fill(cr);
    roundedRectangle(cr, x, y, width, height, radius);
    fillVertical(cr, y, y + height, rgb(255, 255, 255, 0.20 * strength), rgb(255, 255, 255, 0.05 * strength));
    roundedRectangle(cr, x + 0.25, y + 0.25, width - 0.5, height - 0.5, radius);
    cairo_set_line_width(cr, 0.5);
    setColor(cr, rgb(0, 0, 0, 0.22 * strength));
    cairo_stroke(cr);
    cairo_move_to(cr, x + radius, y + 0.85);
    cairo_line_to(cr, x + width - radius, y + 0.85);
    setColor(cr, rgb(255, 255, 255, 0.40 * strength));
    cairo_stroke(cr);
    cairo_restore(cr);
}

namespace {

// xorshift32: a fixed sequence on every machine, unlike rand().
struct Random {
    std::uint32_t state;
    double unit() {  // -1..1
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return (state / 4294967295.0) * 2 - 1;
    }
};

// Long horizontal streaks: random values every `step` pixels along a row,
// blended linearly, each row with its own values.
std::vector<double> streakRow(Random& random, int width, int step) {
    std::vector<double> knots(static_cast<size_t>(width / step + 2));
    for (double& knot : knots) knot = random.unit();
    std::vector<double> row(static_cast<size_t>(width));
    for (int x = 0; x < width; ++x) {
        double position = static_cast<double>(x) / step;
        auto left = static_cast<size_t>(position);
        double t = position - static_cast<double>(left);
        row[static_cast<size_t>(x)] = knots[left] * (1 - t) + knots[left + 1] * t;
    }
    return row;
}

}  // namespace

void addGrain(Canvas& canvas, int x, int y, int width, int height, double strength, std::uint32_t seed) {
    cairo_surface_t* grain = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_surface_flush(grain);
    unsigned char* data = cairo_image_surface_get_data(grain);
    const int stride = cairo_image_surface_get_stride(grain);
    Random random{seed | 1u};
    for (int row = 0; row < height; ++row) {
        std::vector<double> streaks = streakRow(random, width, 48);
        auto* pixels = reinterpret_cast<std::uint32_t*>(data + row * stride);
        for (int column = 0; column < width; ++column) {
            double value = 0.8 * streaks[static_cast<size_t>(column)] + 0.2 * random.unit();
            auto alpha = static_cast<std::uint32_t>(std::min(255.0, std::fabs(value) * strength * 255.0 + 0.5));
            std::uint32_t level = value > 0 ? alpha : 0;  // premultiplied white or black
            pixels[column] = (alpha << 24) | (level << 16) | (level << 8) | level;
        }
    }
    cairo_surface_mark_dirty(grain);
    cairo_t* cr = canvas.cr();
    cairo_save(cr);
    cairo_identity_matrix(cr);
    cairo_set_source_surface(cr, grain, x, y);
    cairo_rectangle(cr, x, y, width, height);
    cairo_fill(cr);
    cairo_restore(cr);
    cairo_surface_destroy(grain);
}

}  // namespace tvx
