#include "page_backgrounds.h"

#include <cmath>

#include "paint.h"

namespace tvx {

namespace {

constexpr double kPageWidth = 992;
constexpr double kPageHeight = 144;
constexpr double kTitleHeight = 20;

Canvas makePage(std::uint32_t seed) {
    Canvas canvas(static_cast<int>(kPageWidth * 2), static_cast<int>(kPageHeight * 2));
    addGrain(canvas, 0, static_cast<int>(kTitleHeight * 2), canvas.width(),
             static_cast<int>((kPageHeight - kTitleHeight) * 2), 0.05, seed);
    cairo_scale(canvas.cr(), 2, 2);
    return canvas;
}

// A value field of 16 pixels with a one-pixel sunken rim around it.
void fieldWell(cairo_t* cr, double x, double y, double width) { drawWell(cr, x - 1, y - 1, width + 2, 18, 1.0); }

// Modulation matrix: a table of twelve slots in two halves of six rows,
// each row a number, source, target and amount under column headings.
constexpr double kHalfLeft[2] = {16, 504};
constexpr double kFirstRowTop = 42;
constexpr double kRowPitch = 17;
constexpr int kRowsPerHalf = 6;

// Rows lie 17 pixels apart, so their wells are one pixel lower than a field's.
void rowWell(cairo_t* cr, double x, double y, double width) { drawWell(cr, x - 1, y - 0.5, width + 2, 17, 1.0); }

void modHalf(cairo_t* cr, double hx) {
    drawPlate(cr, hx - 6, 22, 486, kPageHeight - 24, 5, 1.0);
    for (int row = 0; row < kRowsPerHalf; ++row) {
        const double y = kFirstRowTop + kRowPitch * row;
        rowWell(cr, hx + 28, y, 152);   // source
        rowWell(cr, hx + 188, y, 184);  // target
        rowWell(cr, hx + 380, y, 96);   // amount
    }
}

// Sequencer: sixteen step columns of a label and five value rows.
constexpr int kSteps = 16;
constexpr double kStepLeft = 176;
constexpr double kStepPitch = 51;
constexpr double kStepWidth = 48;
constexpr double kLabelTop = 24;
constexpr double kRowTops[] = {42, 61, 80, 99, 118};

double stepX(int step) { return kStepLeft + kStepPitch * step; }

void seqSteps(cairo_t* cr) {
    const double top = kLabelTop - 3, bottom = kRowTops[4] + 16 + 4;
    drawPlate(cr, kStepLeft - 5, top, kPageWidth - kStepLeft + 3, bottom - top, 5, 1.0);
    // Every other beat a shade darker, so the bar reads in four groups.
    for (int beat = 1; beat < 4; beat += 2) {
        cairo_rectangle(cr, stepX(beat * 4) - 1.5, top + 1, kStepPitch * 4, bottom - top - 2);
        setColor(cr, rgb(0, 0, 0, 0.06));
        cairo_fill(cr);
    }
    cairo_set_line_width(cr, 1);
    for (int beat = 1; beat < 4; ++beat) {
        double x = stepX(beat * 4) - 1.5;
        cairo_move_to(cr, x - 0.5, top + 2);
        cairo_line_to(cr, x - 0.5, bottom - 2);
        setColor(cr, rgb(0, 0, 0, 0.45));
        cairo_stroke(cr);
        cairo_move_to(cr, x + 0.5, top + 2);
        cairo_line_to(cr, x + 0.5, bottom - 2);
        setColor(cr, rgb(255, 255, 255, 0.30));
        cairo_stroke(cr);
    }
    for (int step = 0; step < kSteps; ++step) {
        drawWell(cr, stepX(step) - 1, kLabelTop - 1, kStepWidth + 2, 18, 0.6);
        for (double rowTop : kRowTops) fieldWell(cr, stepX(step), rowTop, kStepWidth);
    }
}

// The global controls on the left and the row captions beside the steps.
void seqControls(cairo_t* cr) {
    drawPlate(cr, 12, kLabelTop - 3, 152, kRowTops[4] + 16 + 7 - kLabelTop, 5, 1.0);
    cairo_set_line_width(cr, 0.5);
    for (double rowTop : kRowTops) {
        // A faint leader from each caption towards its row of fields.
        cairo_move_to(cr, 118, rowTop + 16.25);
        cairo_line_to(cr, 162, rowTop + 16.25);
        setColor(cr, rgb(0, 0, 0, 0.10));
        cairo_stroke(cr);
    }
}

}  // namespace

Canvas renderModPage() {
    Canvas canvas = makePage(0x0b0d02);
    for (double hx : kHalfLeft) modHalf(canvas.cr(), hx);
    return canvas;
}

Canvas renderSeqPage() {
    Canvas canvas = makePage(0x5e0003);
    seqControls(canvas.cr());
    seqSteps(canvas.cr());
    return canvas;
}

}  // namespace tvx
