#include "editor/text_kick_button.h"

#include <utility>

namespace tvx {

TextKickButton::TextKickButton(const CRect& size, CControlListener* listener, int32_t tag, std::string text,
                               const StyledFont& font, bool framed)
    : CKickButton(size, listener, tag), text_(std::move(text)), font_(font), framed_(framed) {}

void TextKickButton::draw(CDrawContext* context) {
    const bool pressed = isPressed();
    if (framed_) {
        context->fillRect(size_, pressed ? font_.color : font_.back);
        context->frameRect(size_, font_.color, 1);
    } else if (pressed) {
        context->fillRect(size_, CColor(font_.color.red, font_.color.green, font_.color.blue, 64));
    }
    context->setFont(font_.desc);
    context->setFontColor(framed_ && pressed ? font_.back : font_.color);
    context->drawString(text_, size_, kCenterText);
}

}  // namespace tvx
