#include "gui/value_drag.h"

#include "gui/c_control.h"

#include <algorithm>

namespace tvx {

void ValueDrag::begin(const CPoint& where, float value, const CButtonState& buttons) {
    anchor_ = where;
    anchorValue_ = value;
    current_ = value;
    fine_ = isFine(buttons);
    active_ = true;
}

float ValueDrag::move(const CPoint& where, const CButtonState& buttons) {
    if (!active_) return current_;
    const bool fine = isFine(buttons);
    if (fine != fine_) {
        // Pressing or letting go of the modifier continues from here.
        anchor_ = where;
        anchorValue_ = current_;
        fine_ = fine;
        return current_;
    }
    const float perPixel = (max_ - min_) / range_ / (fine_ ? kFineFactor : 1.0f);
    const float wanted = anchorValue_ + float(anchor_.y - where.y) * perPixel;
    current_ = std::clamp(wanted, min_, max_);
    if (current_ != wanted) {
        // Past an end: turning back moves the value at once, without first
        // making up the distance overshot.
        anchor_ = where;
        anchorValue_ = current_;
    }
    return current_;
}

float ValueDrag::wheelStep(float value, float distance, float increment, const CButtonState& buttons, float min,
                           float max) {
    const float step = increment / (isFine(buttons) ? kFineFactor : 1.0f);
    return std::clamp(value + distance * step, min, max);
}

CMouseEventResult ValueDrag::press(CControl& control, const CPoint& where, const CButtonState& buttons) {
    if ((buttons & kLButton) == 0) return kMouseEventNotHandled;
    control.beginEdit();
    if ((buttons & kDoubleClick) != 0) {
        control.changeValueByUser(control.getDefaultValue());
        control.endEdit();
        return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    }
    setLimits(control.getMin(), control.getMax());
    begin(where, control.getValue(), buttons);
    return kMouseEventHandled;
}

CMouseEventResult ValueDrag::drag(CControl& control, const CPoint& where, const CButtonState& buttons) {
    if (!active_) return kMouseEventNotHandled;
    control.changeValueByUser(move(where, buttons));
    return kMouseEventHandled;
}

CMouseEventResult ValueDrag::release(CControl& control) {
    if (!active_) return kMouseEventNotHandled;
    end();
    control.endEdit();
    return kMouseEventHandled;
}

bool ValueDrag::wheel(CControl& control, float distance, const CButtonState& buttons) {
    if (distance == 0.0f) return false;
    control.beginEdit();
    control.changeValueByUser(
        wheelStep(control.getValue(), distance, control.getWheelInc(), buttons, control.getMin(), control.getMax()));
    control.endEdit();
    return true;
}

}  // namespace tvx
