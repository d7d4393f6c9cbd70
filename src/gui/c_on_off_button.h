#pragma once

#include "gui/c_control.h"

namespace tvx {

// A two-state switch: a click toggles the value between 0 and 1 and tells
// the listener. With a bitmap it draws the upper half (off) or the lower
// half (on); derived classes draw text instead.
class COnOffButton : public CControl {
public:
    COnOffButton(const CRect& size, CControlListener* listener, int32_t tag, SharedBitmap background = nullptr);

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    bool onKeyDown(const CKeyEvent& key) override;

    bool isOn() const { return getValue() >= 0.5f; }

protected:
    void toggle();
};

}  // namespace tvx
