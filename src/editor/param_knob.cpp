#include "editor/param_knob.h"

#include "editor/editor_base.h"

namespace {

CCoord frameHeight(const SharedBitmap& strip) {
    return strip && strip->isLoaded() ? strip->getHeight() / ParamKnob::kFrames : 0;
}

}  // namespace

ParamKnob::ParamKnob(const CRect& size, EditorBase* editor, int32_t tag, SharedBitmap filmStrip)
    : CAnimKnob(size, editor, tag, kFrames, frameHeight(filmStrip), filmStrip), editor_(editor) {}

CMouseEventResult ParamKnob::onMouseDown(CPoint& where, const CButtonState& buttons) {
    // The right button belongs to the section menus.
    if (buttons & kRButton) return kMouseEventNotHandled;
    if (editor_) editor_->beginTouch(getTag());
    return CAnimKnob::onMouseDown(where, buttons);
}

CMouseEventResult ParamKnob::onMouseUp(CPoint& where, const CButtonState& buttons) {
    CMouseEventResult result = CAnimKnob::onMouseUp(where, buttons);
    if (editor_) editor_->endTouch();
    return result;
}
