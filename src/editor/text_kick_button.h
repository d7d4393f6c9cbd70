#pragma once

#include <string>

#include "editor/editor_style.h"
#include "gui/c_kick_button.h"

namespace tvx {

// A momentary button drawn as its text, brighter while held.
class TextKickButton : public CKickButton {
public:
    TextKickButton(const CRect& size, CControlListener* listener, int32_t tag, std::string text,
                   const StyledFont& font, bool framed);

    void draw(CDrawContext* context) override;
    const std::string& text() const { return text_; }

private:
    std::string text_;
    StyledFont font_;
    bool framed_;
};

}  // namespace tvx
