#include "gui/c_knob.h"

#include "gui/c_frame.h"

#include <algorithm>
#include <cmath>

namespace tvx {

namespace {

constexpr float kPi = 3.14159265358979f;
// The knob turns through 270 degrees, from lower left to lower right.
constexpr float kSweep = 1.5f * kPi;

}  // namespace

CKnob::CKnob(const CRect& size, CControlListener* listener, int32_t tag, SharedBitmap background)
    : CControl(size, listener, tag, std::move(background)) {}

float CKnob::valueToAngle(float normalized) {
    return -0.5f * kSweep + std::clamp(normalized, 0.0f, 1.0f) * kSweep;
}

float CKnob::angleToValue(float angle) {
    return std::clamp((angle + 0.5f * kSweep) / kSweep, 0.0f, 1.0f);
}

int CKnob::knobMode() const {
    const CFrame* frame = getFrame();
    return frame != nullptr ? frame->getKnobMode() : kLinearMode;
}

float CKnob::valueAtPoint(const CPoint& where) const {
    const float cx = static_cast<float>(size_.left + size_.right) * 0.5f;
    const float cy = static_cast<float>(size_.top + size_.bottom) * 0.5f;
    const float angle = std::atan2(static_cast<float>(where.x) - cx, cy - static_cast<float>(where.y));
    return angleToValue(angle);
}

void CKnob::draw(CDrawContext* context) {
    if (background_ && background_->isLoaded()) context->drawBitmap(*background_, size_);
    const float angle = valueToAngle(getValueNormalized());
    const float cx = static_cast<float>(size_.left + size_.right) * 0.5f;
    const float cy = static_cast<float>(size_.top + size_.bottom) * 0.5f;
    const float radius = static_cast<float>(std::min(size_.width(), size_.height())) * 0.4f;
    context->setFrameColor(handleColor_);
    context->setLineWidth(std::max(1, int(radius / 8)));
    context->drawLine({int(cx), int(cy)},
                      {int(std::lround(cx + radius * std::sin(angle))), int(std::lround(cy - radius * std::cos(angle)))});
}

CMouseEventResult CKnob::onMouseDown(CPoint& where, const CButtonState& buttons) {
    const CMouseEventResult result = drag_.press(*this, where, buttons);
    if (result == kMouseEventHandled && knobMode() != kLinearMode) {
        circularStartValue_ = getValueNormalized();
        circularStartAngleValue_ = valueAtPoint(where);
        if (knobMode() == kCircularMode) changeValueByUser(getMin() + valueAtPoint(where) * (getMax() - getMin()));
    }
    return result;
}

CMouseEventResult CKnob::onMouseMoved(CPoint& where, const CButtonState& buttons) {
    if (!drag_.isActive()) return kMouseEventNotHandled;
    switch (knobMode()) {
        case kLinearMode: return drag_.drag(*this, where, buttons);
        case kCircularMode:
            changeValueByUser(getMin() + valueAtPoint(where) * (getMax() - getMin()));
            return kMouseEventHandled;
        default: {
            const float fine = ValueDrag::isFine(buttons) ? ValueDrag::kFineFactor : 1.0f;
            const float normalized = circularStartValue_ + (valueAtPoint(where) - circularStartAngleValue_) / fine;
            changeValueByUser(getMin() + std::clamp(normalized, 0.0f, 1.0f) * (getMax() - getMin()));
            return kMouseEventHandled;
        }
    }
}

CMouseEventResult CKnob::onMouseUp(CPoint& /*where*/, const CButtonState& /*buttons*/) {
    return drag_.release(*this);
}

bool CKnob::onWheel(const CPoint& /*where*/, float distance, const CButtonState& buttons) {
    return ValueDrag::wheel(*this, distance, buttons);
}

bool CKnob::onKeyDown(const CKeyEvent& key) {
    if (key.virtualKey == kVirtualKeyUp) return ValueDrag::wheel(*this, 1.0f, key.modifiers);
    if (key.virtualKey == kVirtualKeyDown) return ValueDrag::wheel(*this, -1.0f, key.modifiers);
    return false;
}

}  // namespace tvx
