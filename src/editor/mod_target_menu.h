#pragma once

#include <string>
#include <vector>

#include "editor/param_menu.h"

namespace tvx {

// The modulation target menu: "--", then the 69 targets grouped into
// submenus ("Global", "Osc 1", "Osc 2", "Osc 3", "Filters & Noise",
// "Envelopes", "Matrix"), so the list stays short on the screen. Its value
// and what it sends stay the flat menu position of the target.
class ModTargetMenu : public ParamMenu {
public:
    ModTargetMenu(const CRect& size, CControlListener* listener, int32_t tag, const StyledFont& font);

    std::string getDisplayText() const override;
    void beforePopup() override;
    // A target chosen in one of the groups, by its flat position.
    void chooseFlat(int position);

    // The group entry (a submenu of this menu) and the position inside it
    // of a flat menu position; false for "--" and unknown positions.
    bool groupOf(int position, int& group, int& entry) const;

private:
    std::vector<std::string> flatTexts_;
    std::vector<int> groupStarts_;
};

}  // namespace tvx
