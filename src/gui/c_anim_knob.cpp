#include "gui/c_anim_knob.h"

#include <cmath>

namespace tvx {

CAnimKnob::CAnimKnob(const CRect& size, CControlListener* listener, int32_t tag, int32_t subPixmaps,
                     CCoord heightOfOneImage, SharedBitmap background, const CPoint& offset)
    : CKnob(size, listener, tag, std::move(background)),
      subPixmaps_(subPixmaps > 0 ? subPixmaps : 1),
      heightOfOneImage_(heightOfOneImage),
      offset_(offset) {}

int32_t CAnimKnob::currentFrame() const {
    if (subPixmaps_ <= 1) return 0;
    const int32_t frame = int32_t(std::lround(getValueNormalized() * float(subPixmaps_ - 1)));
    return inverse_ ? subPixmaps_ - 1 - frame : frame;
}

void CAnimKnob::draw(CDrawContext* context) {
    if (!background_ || !background_->isLoaded() || heightOfOneImage_ <= 0) return;
    const CCoord top = offset_.y + currentFrame() * heightOfOneImage_;
    const CRect source(offset_.x, top, background_->getWidth(), top + heightOfOneImage_);
    context->drawBitmap(*background_, size_, source);
}

}  // namespace tvx
