#pragma once

#include <string>

#include "editor/editor_style.h"
#include "gui/c_on_off_button.h"

namespace tvx {

// A page tab: its name in the theme's on-tab font while its page shows,
// in the off-tab font otherwise.
class TextTabButton : public COnOffButton {
public:
    // `textTop` keeps the name below a bar that crosses the top of the tab.
    TextTabButton(const CRect& size, std::string text, const StyledFont& onFont, const StyledFont& offFont,
                  CCoord textTop = 0);

    void draw(CDrawContext* context) override;
    const std::string& text() const { return text_; }

private:
    std::string text_;
    StyledFont onFont_, offFont_;
    CCoord textTop_;
};

}  // namespace tvx
