#pragma once

#include <string>
#include <vector>

#include "gui/c_option_menu.h"
#include "params/command_index.h"

namespace tvx {

struct StyledFont;

// A selection menu bound to a list-valued parameter. Its tag is the
// command that sets the parameter; its value is the menu position, which
// the closed menu shows in its short form where one exists.
class ParamMenu : public COptionMenu {
public:
    ParamMenu(const CRect& size, CControlListener* listener, int32_t tag, const StyledFont& font,
              const std::vector<std::string>& entries, const std::vector<std::string>& shortEntries = {});

    // The parameter this menu shows.
    int32_t parameter() const { return getTag() - kMenuCommandOffset; }
    // The open list checks the entry now chosen.
    void beforePopup() override;
};

}  // namespace tvx
