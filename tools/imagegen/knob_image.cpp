#include "knob_image.h"

#include <algorithm>
#include <cmath>

namespace tvx {

namespace {

constexpr double kCentre = kKnobFrameSize / 2.0;
constexpr double kArcRadius = 41;
constexpr double kArcWidth = 7;
constexpr double kSkirtRadius = 33;
constexpr double kCapRadius = 27;

// Angles in cairo's sense (0 at three o'clock, clockwise): the travel runs
// from seven o'clock to five o'clock over the top, 300 degrees.
constexpr double kStartAngle = 120 * M_PI / 180;
constexpr double kSweep = 300 * M_PI / 180;

double angleOfFrame(int frame) { return kStartAngle + kSweep * frame / (kKnobFrames - 1); }

void drawArc(cairo_t* cr, double from, double to, double width, const Rgba& color) {
    cairo_new_path(cr);
    cairo_arc(cr, kCentre, kCentre, kArcRadius, from, to);
    cairo_set_line_width(cr, width);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    setColor(cr, color);
    cairo_stroke(cr);
}

void drawShadow(cairo_t* cr) {
    cairo_pattern_t* shadow = cairo_pattern_create_radial(kCentre, kCentre + 3, kSkirtRadius - 4, kCentre, kCentre + 3,
                                                          kSkirtRadius + 5);
    addStop(shadow, 0, rgb(0, 0, 0, 0.55));
    addStop(shadow, 1, rgb(0, 0, 0, 0));
    cairo_arc(cr, kCentre, kCentre + 3, kSkirtRadius + 5, 0, 2 * M_PI);
    cairo_set_source(cr, shadow);
    cairo_fill(cr);
    cairo_pattern_destroy(shadow);
}

// The skirt: a ring lit from above, with fine grip ridges.
void drawSkirt(cairo_t* cr, const KnobStyle& style) {
    cairo_arc(cr, kCentre, kCentre, kSkirtRadius, 0, 2 * M_PI);
    cairo_pattern_t* ring = cairo_pattern_create_linear(0, kCentre - kSkirtRadius, 0, kCentre + kSkirtRadius);
    addStop(ring, 0, style.body);
    addStop(ring, 1, style.bodyEdge);
    cairo_set_source(cr, ring);
    cairo_fill(cr);
    cairo_pattern_destroy(ring);

    cairo_set_line_width(cr, 1.2);
    for (int ridge = 0; ridge < 48; ++ridge) {
        double angle = ridge * 2 * M_PI / 48;
        cairo_move_to(cr, kCentre + std::cos(angle) * (kCapRadius + 1.5), kCentre + std::sin(angle) * (kCapRadius + 1.5));
        cairo_line_to(cr, kCentre + std::cos(angle) * (kSkirtRadius - 1), kCentre + std::sin(angle) * (kSkirtRadius - 1));
    }
    setColor(cr, rgb(0, 0, 0, 0.22));
    cairo_stroke(cr);

    cairo_arc(cr, kCentre, kCentre, kSkirtRadius - 0.5, 0, 2 * M_PI);
    cairo_set_line_width(cr, 1.5);
    setColor(cr, rgb(0, 0, 0, 0.65));
    cairo_stroke(cr);
}

// The cap: a shallow dome, brightest towards the upper left.
void drawCap(cairo_t* cr, const KnobStyle& style) {
    cairo_arc(cr, kCentre, kCentre, kCapRadius, 0, 2 * M_PI);
    cairo_pattern_t* dome =
        cairo_pattern_create_radial(kCentre - 8, kCentre - 10, 2, kCentre, kCentre, kCapRadius);
    addStop(dome, 0, {style.body.red * 1.25, style.body.green * 1.25, style.body.blue * 1.25, 1});
    addStop(dome, 0.55, style.body);
    addStop(dome, 1, style.bodyEdge);
    cairo_set_source(cr, dome);
    cairo_fill(cr);
    cairo_pattern_destroy(dome);

    // A lit rim on the upper half, a dark one below.
    cairo_set_line_width(cr, 1.2);
    cairo_arc(cr, kCentre, kCentre, kCapRadius - 0.6, M_PI * 1.05, M_PI * 1.95);
    setColor(cr, rgb(255, 255, 255, 0.35));
    cairo_stroke(cr);
    cairo_arc(cr, kCentre, kCentre, kCapRadius - 0.6, M_PI * 0.1, M_PI * 0.9);
    setColor(cr, rgb(0, 0, 0, 0.35));
    cairo_stroke(cr);
}

void drawPointer(cairo_t* cr, double angle, const KnobStyle& style) {
    double dx = std::cos(angle), dy = std::sin(angle);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_move_to(cr, kCentre + dx * 9, kCentre + dy * 9);
    cairo_line_to(cr, kCentre + dx * 25, kCentre + dy * 25);
    cairo_set_line_width(cr, 8);
    setColor(cr, rgb(0, 0, 0, 0.45));
    cairo_stroke_preserve(cr);
    cairo_set_line_width(cr, 5);
    setColor(cr, style.pointer);
    cairo_stroke(cr);
}

// The lit arc runs from the start of the travel, or for a bipolar knob
// from the top, to the pointer; the neutral frame lights nothing.
void drawFrame(cairo_t* cr, int frame, const KnobStyle& style, bool bipolar) {
    const double angle = angleOfFrame(frame);
    const int neutralFrame = bipolar ? (kKnobFrames - 1) / 2 : 0;
    const double neutral = angleOfFrame(neutralFrame);
    drawArc(cr, kStartAngle, kStartAngle + kSweep, kArcWidth, style.track);
    if (frame != neutralFrame) {
        const double from = std::min(neutral, angle);
        const double to = std::max(neutral, angle);
        // A soft glow under the lit part keeps it readable when scaled down.
        drawArc(cr, from, to, kArcWidth + 4, {style.arc.red, style.arc.green, style.arc.blue, 0.25});
        drawArc(cr, from, to, kArcWidth, style.arc);
    }
    drawShadow(cr);
    drawSkirt(cr, style);
    drawCap(cr, style);
    drawPointer(cr, angle, style);
}

}  // namespace

KnobStyle builtinKnobStyle() {
    return {rgb(5, 190, 238), rgb(96, 102, 112, 0.55), rgb(88, 94, 104), rgb(30, 33, 38), rgb(244, 246, 248)};
}

KnobStyle highContrastKnobStyle() {
    return {rgb(255, 214, 0), rgb(255, 255, 255, 0.35), rgb(44, 44, 44), rgb(0, 0, 0), rgb(255, 255, 255)};
}

Canvas renderKnob(const KnobStyle& style, bool bipolar) {
    Canvas canvas(kKnobFrameSize, kKnobFrameSize * kKnobFrames);
    cairo_t* cr = canvas.cr();
    for (int frame = 0; frame < kKnobFrames; ++frame) {
        cairo_save(cr);
        cairo_rectangle(cr, 0, frame * kKnobFrameSize, kKnobFrameSize, kKnobFrameSize);
        cairo_clip(cr);
        cairo_translate(cr, 0, frame * kKnobFrameSize);
        drawFrame(cr, frame, style, bipolar);
        cairo_restore(cr);
    }
    return canvas;
}

}  // namespace tvx
