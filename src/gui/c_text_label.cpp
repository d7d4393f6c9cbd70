#include "gui/c_text_label.h"

namespace tvx {

CTextLabel::CTextLabel(const CRect& size, const std::string& text, SharedBitmap background, int32_t style)
    : CParamDisplay(size, std::move(background), style), text_(text) {}

void CTextLabel::setText(const std::string& text) {
    if (text == text_) return;
    text_ = text;
    setDirty();
}

}  // namespace tvx
