#pragma once

#include <string>

#include "editor/editor_style.h"
#include "gui/c_on_off_button.h"

namespace tvx {

// A two-state switch drawn as a text field: one text while off, another
// while on, the "on" state in inverted colours.
class TextButton : public COnOffButton {
public:
    TextButton(const CRect& size, CControlListener* listener, int32_t tag, std::string offText,
               std::string onText, const StyledFont& font);

    void draw(CDrawContext* context) override;
    const std::string& currentText() const { return isOn() ? onText_ : offText_; }

private:
    std::string offText_, onText_;
    StyledFont font_;
};

}  // namespace tvx
