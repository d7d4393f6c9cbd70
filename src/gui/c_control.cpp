#include "gui/c_control.h"

#include "gui/c_control_listener.h"

#include <algorithm>
#include <cmath>

namespace tvx {

CControl::CControl(const CRect& size, CControlListener* listener, int32_t tag, SharedBitmap background)
    : CView(size), listener_(listener), tag_(tag), background_(std::move(background)) {}

float CControl::clampValue(float value) const {
    return std::clamp(value, std::min(min_, max_), std::max(min_, max_));
}

void CControl::setValue(float value) {
    if (std::isnan(value)) return;
    const float clamped = clampValue(value);
    if (value_.exchange(clamped, std::memory_order_acq_rel) != clamped) setDirty();
}

void CControl::setDefaultValue(float value) {
    if (!std::isnan(value)) defaultValue_ = clampValue(value);
}

float CControl::getValueNormalized() const {
    const float span = max_ - min_;
    if (span == 0.0f) return 0.0f;
    return std::clamp((getValue() - min_) / span, 0.0f, 1.0f);
}

void CControl::setBackground(SharedBitmap background) {
    background_ = std::move(background);
    setDirty();
}

void CControl::valueChanged() {
    if (listener_ != nullptr) listener_->valueChanged(this);
}

void CControl::beginEdit() {
    editing_ = true;
    if (listener_ != nullptr) listener_->controlBeginEdit(this);
}

void CControl::endEdit() {
    editing_ = false;
    if (listener_ != nullptr) listener_->controlEndEdit(this);
}

void CControl::changeValueByUser(float value) {
    const float before = getValue();
    setValue(value);
    if (getValue() != before) valueChanged();
}

}  // namespace tvx
