#pragma once

#include "gui/c_control.h"

namespace tvx {

// A momentary button: value 1 while the button is held down over it, 0
// when the mouse leaves it or is released; each change tells the listener.
// With a bitmap it draws the frame of `heightOfOneImage` for the state
// (upper: released, lower: pressed).
class CKickButton : public CControl {
public:
    CKickButton(const CRect& size, CControlListener* listener, int32_t tag, SharedBitmap background = nullptr,
                CCoord heightOfOneImage = 0, const CPoint& offset = {});

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;

    bool isPressed() const { return getValue() >= 0.5f; }

private:
    CCoord heightOfOneImage_;
    CPoint offset_;
};

}  // namespace tvx
