#include "main_background.h"

#include "paint.h"

namespace tvx {

namespace {

constexpr double kWidth = 1056;
constexpr double kHeight = 624;
constexpr double kHeaderHeight = 40;

// Main-view rows below the header: title bar top and row bottom.
struct Row {
    double top, bottom;
};
constexpr Row kModuleRows[] = {{44, 190}, {192, 334}, {336, 478}};
constexpr Row kPageRow = {480, 622};

// Oscillators, filters/noise, envelopes, LFOs.
struct Span {
    double left, right;
};
constexpr Span kSections[] = {{8, 360}, {376, 504}, {520, 776}, {792, 1048}};

void drawBase(cairo_t* cr) {
    cairo_rectangle(cr, 0, 0, kWidth, kHeight);
    fillVertical(cr, 0, kHeight, rgb(184, 188, 194), rgb(150, 154, 161));
}

void drawHeader(cairo_t* cr) {
    cairo_rectangle(cr, 0, 0, kWidth, kHeaderHeight);
    fillVertical(cr, 0, kHeaderHeight, rgb(204, 208, 213), rgb(182, 186, 192));
    cairo_set_line_width(cr, 1);
    cairo_move_to(cr, 0, kHeaderHeight - 0.5);
    cairo_line_to(cr, kWidth, kHeaderHeight - 0.5);
    setColor(cr, rgb(0, 0, 0, 0.28));
    cairo_stroke(cr);
    cairo_move_to(cr, 0, kHeaderHeight + 0.5);
    cairo_line_to(cr, kWidth, kHeaderHeight + 0.5);
    setColor(cr, rgb(255, 255, 255, 0.35));
    cairo_stroke(cr);

    drawWell(cr, 389, 9, 278, 27, 1.0);      // preset name with its two buttons
    drawWell(cr, 894, 10, 84, 20, 0.8);      // filter mode
    drawWell(cr, 990, 10, 52, 20, 0.8);      // volume
}

void drawModuleRows(cairo_t* cr) {
    for (const Row& row : kModuleRows)
        for (const Span& section : kSections)
            drawPlate(cr, section.left, row.top, section.right - section.left, row.bottom - row.top, 5, 1.0);
}

// The page switcher: a tab column on the left and the page plate.
void drawPageArea(cairo_t* cr) {
    drawPlate(cr, 8, kPageRow.top, 1040, kPageRow.bottom - kPageRow.top, 5, 1.0);
    cairo_rectangle(cr, 9, kPageRow.top + 21, 46, kPageRow.bottom - kPageRow.top - 22);
    setColor(cr, rgb(0, 0, 0, 0.07));
    cairo_fill(cr);
    cairo_set_line_width(cr, 0.5);
    for (int tab = 1; tab < 3; ++tab) {
        double y = kPageRow.top + 48 * tab;
        cairo_move_to(cr, 12, y + 0.25);
        cairo_line_to(cr, 52, y + 0.25);
        setColor(cr, rgb(0, 0, 0, 0.18));
        cairo_stroke(cr);
        cairo_move_to(cr, 12, y + 0.75);
        cairo_line_to(cr, 52, y + 0.75);
        setColor(cr, rgb(255, 255, 255, 0.30));
        cairo_stroke(cr);
    }
}

// Darker corners draw the eye to the middle.
void drawVignette(cairo_t* cr) {
    cairo_pattern_t* vignette = cairo_pattern_create_radial(kWidth / 2, kHeight / 2, 200, kWidth / 2, kHeight / 2, 720);
    addStop(vignette, 0, rgb(0, 0, 0, 0));
    addStop(vignette, 1, rgb(0, 0, 0, 0.16));
    cairo_rectangle(cr, 0, 0, kWidth, kHeight);
    cairo_set_source(cr, vignette);
    cairo_fill(cr);
    cairo_pattern_destroy(vignette);
}

}  // namespace

Canvas renderMainBackground() {
    Canvas canvas(static_cast<int>(kWidth * 2), static_cast<int>(kHeight * 2));
    cairo_t* cr = canvas.cr();
    cairo_scale(cr, 2, 2);
    drawBase(cr);
    addGrain(canvas, 0, 0, canvas.width(), canvas.height(), 0.06, 0x5eed01);
    drawHeader(cr);
    drawModuleRows(cr);
    drawPageArea(cr);
    drawVignette(cr);
    return canvas;
}

}  // namespace tvx
