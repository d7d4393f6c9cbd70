#include "editor/param_display.h"

#include <algorithm>

#include "editor/editor_base.h"
#include "editor/editor_host.h"
#include "editor/editor_style.h"
#include "editor/value_text.h"

namespace tvx {

ParamDisplay::ParamDisplay(const CRect& size, EditorHost& host, int32_t parameter, const StyledFont& font)
    : CParamDisplay(size) {
    setTag(parameter);
    setFont(font.desc);
    setFontColor(font.color);
    setBackColor(font.back);
    setMouseEnabled(false);
    // The text is taken from the plug-in when drawn, so it also follows
    // settings that change its wording (a synced rate shows a division).
    setStringConvert([&host, parameter](float) { return editorValueText(host, parameter); });
}

void ParamDisplay::setMenuOwner(EditorBase* editor) {
    menuOwner_ = editor;
    setMouseEnabled(editor != nullptr);
}

CMouseEventResult ParamDisplay::onMouseDown(CPoint& where, const CButtonState& buttons) {
    if ((buttons & kRButton) && menuOwner_ && menuOwner_->valueMenuRequested(getTag(), localToFrame(where)))
        return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    return kMouseEventNotHandled;
}

void ParamDisplay::draw(CDrawContext* context) {
    if (style_ & kNoDrawStyle) return;
    drawBackAndFrame(context);
    if (style_ & kNoTextStyle) return;
    const std::string text = getDisplayText();
    CRect area = size_;
    if (horiAlign_ == kLeftText) area.left += textInset_;
    if (horiAlign_ == kRightText) area.right -= textInset_;
    CFontDesc font = font_;
    context->setFont(font);
    // Down to two thirds of the size at most: smaller is no longer legible.
    const int32_t smallest = std::max<int32_t>(1, font_.size * 2 / 3);
    while (font.size > smallest && context->getStringWidth(text) > area.width() - 2) {
        --font.size;
        context->setFont(font);
    }
    context->setFontColor(fontColor_);
    context->drawString(text, area, horiAlign_);
}

}  // namespace tvx
