#include "gui/c_text_edit.h"

#include "gui/c_draw_context.h"

namespace tvx {

CTextEdit::CTextEdit(const CRect& size, const CFontDesc& font, const CColor& fontColor, const CColor& backColor)
    : CView(size), font_(font), fontColor_(fontColor), backColor_(backColor) {}

void CTextEdit::setText(const std::string& text, bool selected) {
    text_ = text;
    selected_ = selected && !text.empty();
    error_.clear();
    setDirty();
}

void CTextEdit::setHandlers(CommitHandler commit, CancelHandler cancel) {
    commit_ = std::move(commit);
    cancel_ = std::move(cancel);
}

void CTextEdit::draw(CDrawContext* context) {
    context->fillRect(size_, backColor_);
    context->frameRect(size_, fontColor_, 1);
    context->setFont(font_);
    context->setFontColor(fontColor_);
    CRect inner = size_;
    const CCoord margin = size_.height() / 4;
    inner.left += margin;
    inner.right -= margin;
    if (!error_.empty()) {
        context->drawString(error_, inner, kLeftText);
        return;
    }
    if (selected_) {
        CRect marked = inner;
        marked.right = inner.left + context->getStringWidth(text_) + 2;
        marked.left -= 1;
        marked.top += margin / 2;
        marked.bottom -= margin / 2;
        context->fillRect(marked, fontColor_);
        context->setFontColor(backColor_);
        context->drawString(text_, inner, kLeftText);
        return;
    }
    context->drawString(text_, inner, kLeftText);
    // The caret after the last character: the field only appends and erases at the end.
    const CCoord x = inner.left + context->getStringWidth(text_) + 1;
    context->setFrameColor(fontColor_);
    context->setLineWidth(1);
    context->drawLine({x, size_.top + margin}, {x, size_.bottom - margin});
}

bool CTextEdit::onKeyDown(const CKeyEvent& key) {
    if (key.virtualKey == kVirtualKeyEscape) {
        if (cancel_) cancel_();
        return true;
    }
    if (key.virtualKey == kVirtualKeyReturn) {
        std::string error;
        if (commit_ && !commit_(text_, error)) {
            error_ = error.empty() ? "?" : error;
            setDirty();
        }
        return true;
    }
    // After a refusal the next key starts the text afresh.
    if (!error_.empty() || selected_) {
        error_.clear();
        text_.clear();
        selected_ = false;
    }
    if (key.virtualKey == kVirtualKeyBack || key.virtualKey == kVirtualKeyDelete) {
        if (!text_.empty()) text_.pop_back();
    } else if (key.virtualKey == kVirtualKeySpace) {
        text_ += ' ';
    } else if (key.character >= 0x20 && key.character < 0x7F) {
        text_ += static_cast<char>(key.character);
    } else {
        return true;  // the field keeps every key while it has the focus
    }
    setDirty();
    return true;
}

CMouseEventResult CTextEdit::onMouseDown(CPoint&, const CButtonState&) {
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

}  // namespace tvx
