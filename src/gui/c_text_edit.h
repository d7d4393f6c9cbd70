#pragma once

#include "gui/c_color.h"
#include "gui/c_font_desc.h"
#include "gui/c_view.h"

#include <functional>
#include <string>

namespace tvx {

// A one-line text field drawn by the toolkit, for frames whose window
// system offers no edit control of its own (X11). It takes the keys once
// the frame makes it the focus view: printable characters and Backspace
// edit, Return commits, Escape cancels. A commit handler may refuse the
// text with a reason, which the field then shows until the next key.
class CTextEdit : public CView {
public:
    // Returns false and fills `error` to keep the field open.
    using CommitHandler = std::function<bool(const std::string& text, std::string& error)>;
    using CancelHandler = std::function<void()>;

    CTextEdit(const CRect& size, const CFontDesc& font, const CColor& fontColor, const CColor& backColor);

    // A selected text is replaced by the first key typed.
    void setText(const std::string& text, bool selected = false);
    const std::string& getText() const { return text_; }
    // What the field says instead of the text after a refused commit.
    const std::string& getError() const { return error_; }
    void setHandlers(CommitHandler commit, CancelHandler cancel);

    void draw(CDrawContext* context) override;
    bool onKeyDown(const CKeyEvent& key) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;

private:
    CFontDesc font_;
    CColor fontColor_;
    CColor backColor_;
    std::string text_;
    std::string error_;
    bool selected_ = false;
    CommitHandler commit_;
    CancelHandler cancel_;
};

}  // namespace tvx
