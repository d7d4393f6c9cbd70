#include "editor/text_tab_button.h"

#include <utility>

namespace tvx {

TextTabButton::TextTabButton(const CRect& size, std::string text, const StyledFont& onFont,
                             const StyledFont& offFont, CCoord textTop)
    : COnOffButton(size, nullptr, -1), text_(std::move(text)), onFont_(onFont), offFont_(offFont), textTop_(textTop) {
    setTransparency(true);
}

void TextTabButton::draw(CDrawContext* context) {
    const StyledFont& font = isOn() ? onFont_ : offFont_;
    context->setFont(font.desc);
    context->setFontColor(font.color);
    CRect area = size_;
    area.top += textTop_;
    context->drawString(text_, area, kCenterText);
}

}  // namespace tvx
