#include "editor/preset_step_button.h"

#include <algorithm>

#include "gui/c_draw_context.h"

namespace tvx {

PresetStepButton::PresetStepButton(const CRect& size, CControlListener* listener, int32_t tag, bool pointsRight,
                                   const CColor& arrow, const CColor& plate)
    : CKickButton(size, listener, tag), pointsRight_(pointsRight), arrow_(arrow), plate_(plate) {}

// Drawn one pixel row at a time, so every backend draws the same shape.
void PresetStepButton::draw(CDrawContext* context) {
    const bool pressed = isPressed();
    context->fillRect(size_, pressed ? arrow_ : plate_);
    const CColor& ink = pressed ? plate_ : arrow_;
    const CCoord margin = std::max<CCoord>(2, size_.width() / 6);
    const CCoord left = size_.left + margin, right = size_.right - margin;
    const CCoord top = size_.top + margin, bottom = size_.bottom - margin;
    const double half = (bottom - top) / 2.0;
    if (half <= 0 || right <= left) return;
    for (CCoord y = top; y < bottom; ++y) {
        // Full width at the middle row, a point at the top and bottom.
        const double fromMiddle = std::abs((y + 0.5 - top) - half) / half;
        const CCoord width = static_cast<CCoord>((right - left) * (1.0 - fromMiddle) + 0.5);
        if (width <= 0) continue;
        if (pointsRight_) context->fillRect(CRect(left, y, left + width, y + 1), ink);
        else context->fillRect(CRect(right - width, y, right, y + 1), ink);
    }
}

}  // namespace tvx
