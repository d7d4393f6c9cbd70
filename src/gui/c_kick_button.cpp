#include "gui/c_kick_button.h"

namespace tvx {

CKickButton::CKickButton(const CRect& size, CControlListener* listener, int32_t tag, SharedBitmap background,
                         CCoord heightOfOneImage, const CPoint& offset)
    : CControl(size, listener, tag, std::move(background)), heightOfOneImage_(heightOfOneImage), offset_(offset) {
    setDefaultValue(0.0f);
}

void CKickButton::draw(CDrawContext* context) {
    if (!background_ || !background_->isLoaded()) return;
    const CCoord frameHeight = heightOfOneImage_ > 0 ? heightOfOneImage_ : background_->getHeight() / 2;
    const CCoord top = offset_.y + (isPressed() ? frameHeight : 0);
    context->drawBitmap(*background_, size_, CRect(offset_.x, top, background_->getWidth(), top + frameHeight));
}

CMouseEventResult CKickButton::onMouseDown(CPoint& /*where*/, const CButtonState& buttons) {
    if ((buttons & kLButton) == 0) return kMouseEventNotHandled;
    beginEdit();
    changeValueByUser(getMax());
    return kMouseEventHandled;
}

CMouseEventResult CKickButton::onMouseMoved(CPoint& where, const CButtonState& /*buttons*/) {
    if (!isEditing()) return kMouseEventNotHandled;
    // Sliding off the button lets it go; sliding back presses it again.
    changeValueByUser(size_.pointInside(where) ? getMax() : getMin());
    return kMouseEventHandled;
}

CMouseEventResult CKickButton::onMouseUp(CPoint& /*where*/, const CButtonState& /*buttons*/) {
    if (!isEditing()) return kMouseEventNotHandled;
    changeValueByUser(getMin());
    endEdit();
    return kMouseEventHandled;
}

}  // namespace tvx
