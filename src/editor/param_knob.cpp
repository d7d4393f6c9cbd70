#include "editor/param_knob.h"

#include "editor/editor_base.h"

namespace tvx {

namespace {

CCoord frameHeight(const SharedBitmap& strip) {
    return strip && strip->isLoaded() ? strip->getHeight() / ParamKnob::kFrames : 0;
}

}  // namespace

ParamKnob::ParamKnob(const CRect& size, EditorBase* editor, int32_t tag, SharedBitmap filmStrip)
    : CAnimKnob(size, editor, tag, kFrames, frameHeight(filmStrip), filmStrip), editor_(editor) {}

CMouseEventResult ParamKnob::onMouseDown(CPoint& where, const CButtonState& buttons) {
    if (buttons & kRButton) {
        if (editor_ && editor_->valueMenuRequested(getTag(), localToFrame(where)))
            return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
        return kMouseEventNotHandled;
    }
    if (editor_) editor_->beginTouch(getTag());
    const CMouseEventResult result = CAnimKnob::onMouseDown(where, buttons);
    // A double click resets at once and sends no release: the touch ends here.
    if (result != kMouseEventHandled && editor_) editor_->endTouch();
    return result;
}

bool ParamKnob::onWheel(const CPoint& where, float distance, const CButtonState& buttons) {
    const bool used = CAnimKnob::onWheel(where, distance, buttons);
    if (used && editor_) editor_->wheelTurned(getTag());
    return used;
}

CMouseEventResult ParamKnob::onMouseUp(CPoint& where, const CButtonState& buttons) {
    CMouseEventResult result = CAnimKnob::onMouseUp(where, buttons);
    if (editor_) editor_->endTouch();
    return result;
}

}  // namespace tvx
