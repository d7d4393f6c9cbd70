#include "editor/on_off_display.h"

namespace tvx {

OnOffDisplay::OnOffDisplay(const CRect& size, const CColor& onColor, const CColor& offColor)
    : CParamDisplay(size), onColor_(onColor), offColor_(offColor) {
    setMouseEnabled(false);
}

void OnOffDisplay::draw(CDrawContext* context) {
    context->fillRect(size_, getValue() >= 1.0f ? onColor_ : offColor_);
}

}  // namespace tvx
