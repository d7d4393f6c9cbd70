#pragma once

#include "gui/c_control.h"
#include "gui/gui_limits.h"
#include "gui/value_drag.h"

namespace tvx {

// A rotary control. Dragging follows the frame's knob mode: vertical in
// linear mode, the angle around the centre in the circular modes (over
// the 270 degrees from the lower left to the lower right). Double-click
// returns it to its default value; Shift or Ctrl drags ten times finer;
// the wheel moves it by small steps.
//
// Without a bitmap it draws a handle line over the background colour of
// its parent; CAnimKnob draws film-strip frames instead.
class CKnob : public CControl {
public:
    CKnob(const CRect& size, CControlListener* listener, int32_t tag, SharedBitmap background = nullptr);

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
    bool onWheel(const CPoint& where, float distance, const CButtonState& buttons) override;
    bool onKeyDown(const CKeyEvent& key) override;

    // Pixels of vertical movement for the whole range in linear mode.
    void setZoomFactor(float pixels) { drag_.setRange(pixels); }
    float getZoomFactor() const { return drag_.getRange(); }
    void setColorHandle(const CColor& color) { handleColor_ = color; }
    const CColor& getColorHandle() const { return handleColor_; }

    // The knob's angle (radians, 0 at the top, clockwise positive) for a
    // value, and back; the circular modes use these.
    static float valueToAngle(float normalized);
    static float angleToValue(float angle);

protected:
    int knobMode() const;
    float valueAtPoint(const CPoint& where) const;

    ValueDrag drag_;
    CColor handleColor_ = kWhiteCColor;

private:
    float circularStartValue_ = 0.0f;
    float circularStartAngleValue_ = 0.0f;
};

}  // namespace tvx
