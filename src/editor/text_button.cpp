#include "editor/text_button.h"

#include <utility>

namespace tvx {

TextButton::TextButton(const CRect& size, CControlListener* listener, int32_t tag, std::string offText,
                       std::string onText, const StyledFont& font)
    : COnOffButton(size, listener, tag), offText_(std::move(offText)), onText_(std::move(onText)), font_(font) {}

void TextButton::draw(CDrawContext* context) {
    const bool on = isOn();
    context->fillRect(size_, on ? font_.color : font_.back);
    context->frameRect(size_, font_.color, 1);
    context->setFont(font_.desc);
    context->setFontColor(on ? font_.back : font_.color);
    context->drawString(currentText(), size_, kCenterText);
}

}  // namespace tvx
