#include "gui/c_on_off_button.h"

namespace tvx {

COnOffButton::COnOffButton(const CRect& size, CControlListener* listener, int32_t tag, SharedBitmap background)
    : CControl(size, listener, tag, std::move(background)) {
    setDefaultValue(0.0f);
}

void COnOffButton::draw(CDrawContext* context) {
    if (!background_ || !background_->isLoaded()) return;
    const CCoord half = background_->getHeight() / 2;
    context->drawBitmap(*background_, size_, CRect(0, isOn() ? half : 0, background_->getWidth(), isOn() ? 2 * half : half));
}

void COnOffButton::toggle() {
    beginEdit();
    changeValueByUser(isOn() ? getMin() : getMax());
    endEdit();
}

CMouseEventResult COnOffButton::onMouseDown(CPoint& /*where*/, const CButtonState& buttons) {
    if ((buttons & kLButton) == 0) return kMouseEventNotHandled;
    toggle();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

bool COnOffButton::onKeyDown(const CKeyEvent& key) {
    if (key.virtualKey != kVirtualKeySpace && key.virtualKey != kVirtualKeyReturn) return false;
    toggle();
    return true;
}

}  // namespace tvx
