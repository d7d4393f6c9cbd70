#include "editor/param_label.h"

#include "editor/editor_style.h"

namespace tvx {

ParamLabel::ParamLabel(const CRect& size, const std::string& text, const StyledFont& font, CHoriTxtAlign align,
                       bool filled)
    : CTextLabel(size, text) {
    setFont(font.desc);
    setHoriAlign(align);
    setTransparency(!filled);
    applyStyle(font);
    setMouseEnabled(false);
}

void ParamLabel::applyStyle(const StyledFont& font) {
    const bool backShown = !getTransparency();
    if (getFontColor() == font.color && (!backShown || getBackColor() == font.back)) return;
    setFontColor(font.color);
    if (backShown) setBackColor(font.back);
    setDirty();
}

}  // namespace tvx
