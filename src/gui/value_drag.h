#pragma once

#include "gui/c_button_state.h"
#include "gui/c_point.h"

namespace tvx {

class CControl;

// The drag arithmetic musicians expect of a knob, shared by knobs and the
// value displays that can be dragged like them: vertical movement (up
// raises the value), `range` pixels for the whole 0..1 span, ten times
// finer while Shift or Ctrl is held. A change of the modifiers during the
// drag re-anchors it, so the value never jumps.
class ValueDrag {
public:
    static constexpr float kFineFactor = 10.0f;

    void begin(const CPoint& where, float value, const CButtonState& buttons);
    // The new value for the mouse at `where`, clamped to min..max.
    float move(const CPoint& where, const CButtonState& buttons);
    bool isActive() const { return active_; }
    void end() { active_ = false; }

    void setRange(float pixels) { range_ = pixels > 1.0f ? pixels : 1.0f; }
    float getRange() const { return range_; }
    void setLimits(float min, float max) {
        min_ = min;
        max_ = max;
    }

    // The whole gesture on a control: a double-click sets the default
    // value; otherwise press starts a drag that drag() follows and
    // release() ends, each bracketed by the control's begin/endEdit.
    CMouseEventResult press(CControl& control, const CPoint& where, const CButtonState& buttons);
    CMouseEventResult drag(CControl& control, const CPoint& where, const CButtonState& buttons);
    CMouseEventResult release(CControl& control);
    // One wheel movement as a complete edit of the control.
    static bool wheel(CControl& control, float distance, const CButtonState& buttons);

    static bool isFine(const CButtonState& buttons) { return (buttons & (kShift | kControl)) != 0; }
    // The new value after `distance` wheel notches of `increment` each.
    static float wheelStep(float value, float distance, float increment, const CButtonState& buttons, float min,
                           float max);

private:
    CPoint anchor_;
    float anchorValue_ = 0.0f;
    float current_ = 0.0f;
    bool fine_ = false;
    bool active_ = false;
    float range_ = 200.0f;
    float min_ = 0.0f;
    float max_ = 1.0f;
};

}  // namespace tvx
