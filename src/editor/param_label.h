#pragma once

#include "gui/c_text_label.h"

namespace tvx {

struct StyledFont;

// A fixed text, a knob's caption (which shows the value while the knob is
// held), or a step number of the sequencer page.
class ParamLabel : public CTextLabel {
public:
    ParamLabel(const CRect& size, const std::string& text, const StyledFont& font,
               CHoriTxtAlign align = kCenterText, bool filled = false);

    // Font colour and, for filled labels, back colour of a style.
    void applyStyle(const StyledFont& font);
};

}  // namespace tvx
