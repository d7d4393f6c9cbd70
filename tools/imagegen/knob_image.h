#pragma once

#include "canvas.h"
#include "paint.h"

namespace tvx {

// Colours of a knob strip; the built-in strip and the themes' strips differ
// only in these.
struct KnobStyle {
    Rgba arc;      // the value arc
    Rgba track;    // the arc's path where the value has not reached
    Rgba body;     // the cap's lit side
    Rgba bodyEdge; // the cap's shaded side
    Rgba pointer;
};

KnobStyle builtinKnobStyle();
// Black cap, white pointer, yellow arc: for the high-contrast theme.
KnobStyle highContrastKnobStyle();

inline constexpr int kKnobFrameSize = 96;
inline constexpr int kKnobFrames = 101;

// 101 frames of 96 x 96 stacked vertically, frame 0 (value 0) at the top.
// A bipolar strip lights the arc from the top centre (frame 50, which
// lights none) towards the pointer.
Canvas renderKnob(const KnobStyle& style, bool bipolar = false);

}  // namespace tvx
