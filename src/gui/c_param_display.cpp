#include "gui/c_param_display.h"

#include <cmath>
#include <cstdlib>

namespace tvx {

namespace {

// Two decimals, with a point whatever the process locale says.
std::string twoDecimals(float value) {
    if (!std::isfinite(value)) return "-";
    const long hundredths = std::lround(double(value) * 100.0);
    const long whole = std::labs(hundredths) / 100;
    const long fraction = std::labs(hundredths) % 100;
    std::string text = (hundredths < 0 ? "-" : "") + std::to_string(whole) + ".";
    if (fraction < 10) text += '0';
    return text + std::to_string(fraction);
}

}  // namespace

CParamDisplay::CParamDisplay(const CRect& size, SharedBitmap background, int32_t style)
    : CControl(size, nullptr, 0, std::move(background)), style_(style) {}

void CParamDisplay::setStringConvert(StringConvert convert) {
    convert_ = std::move(convert);
    setDirty();
}

std::string CParamDisplay::getDisplayText() const {
    return convert_ ? convert_(getValue()) : twoDecimals(getValue());
}

void CParamDisplay::setFont(const CFontDesc& font) {
    font_ = font;
    setDirty();
}

void CParamDisplay::setFontColor(const CColor& color) {
    fontColor_ = color;
    setDirty();
}

void CParamDisplay::setBackColor(const CColor& color) {
    backColor_ = color;
    setDirty();
}

void CParamDisplay::setFrameColor(const CColor& color) {
    frameColor_ = color;
    setDirty();
}

void CParamDisplay::setHoriAlign(CHoriTxtAlign align) {
    horiAlign_ = align;
    setDirty();
}

void CParamDisplay::setStyle(int32_t style) {
    style_ = style;
    setDirty();
}

void CParamDisplay::setTransparency(bool transparent) {
    CControl::setTransparency(transparent);
}

void CParamDisplay::setTextInset(CCoord inset) {
    textInset_ = inset;
    setDirty();
}

void CParamDisplay::draw(CDrawContext* context) {
    if (style_ & kNoDrawStyle) return;
    drawBackAndFrame(context);
    if (!(style_ & kNoTextStyle)) drawText(context, getDisplayText());
}

void CParamDisplay::drawBackAndFrame(CDrawContext* context) {
    if (background_ && background_->isLoaded()) {
        context->drawBitmap(*background_, size_);
    } else if (!getTransparency()) {
        context->fillRect(size_, backColor_);
    }
    if (style_ & (k3DIn | k3DOut)) {
        // Light from the top left: raised edges are light there, sunken ones dark.
        const CColor light{255, 255, 255, 96};
        const CColor dark{0, 0, 0, 96};
        const bool in = (style_ & k3DIn) != 0;
        context->fillRect({size_.left, size_.top, size_.right, size_.top + 1}, in ? dark : light);
        context->fillRect({size_.left, size_.top + 1, size_.left + 1, size_.bottom}, in ? dark : light);
        context->fillRect({size_.left + 1, size_.bottom - 1, size_.right, size_.bottom}, in ? light : dark);
        context->fillRect({size_.right - 1, size_.top + 1, size_.right, size_.bottom - 1}, in ? light : dark);
    } else if (!(style_ & kNoFrame)) {
        context->frameRect(size_, frameColor_, 1);
    }
}

void CParamDisplay::drawText(CDrawContext* context, const std::string& text) {
    CRect area = size_;
    if (horiAlign_ == kLeftText) area.left += textInset_;
    if (horiAlign_ == kRightText) area.right -= textInset_;
    context->setFont(font_);
    context->setFontColor(fontColor_);
    context->drawString(text, area, horiAlign_);
}

CMouseEventResult CParamDisplay::onMouseDown(CPoint& where, const CButtonState& buttons) {
    // A display that is not draggable lets the press through to what lies below.
    if (!draggable_) return kMouseEventNotHandled;
    return drag_.press(*this, where, buttons);
}

CMouseEventResult CParamDisplay::onMouseMoved(CPoint& where, const CButtonState& buttons) {
    return drag_.drag(*this, where, buttons);
}

CMouseEventResult CParamDisplay::onMouseUp(CPoint& /*where*/, const CButtonState& /*buttons*/) {
    return drag_.release(*this);
}

bool CParamDisplay::onWheel(const CPoint& /*where*/, float distance, const CButtonState& buttons) {
    return draggable_ && ValueDrag::wheel(*this, distance, buttons);
}

}  // namespace tvx
