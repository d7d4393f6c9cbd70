#pragma once

#include <string>
#include <vector>

#include "gui/c_option_menu.h"

namespace tvx {

class EditorHost;

// The list behind the preset name: the current bank's presets (their
// positions are the indices sent), then, after a separator, one submenu per
// bank with its presets, so a sound of any bank is two clicks away. Rebuilt
// from the disk each time it opens; the init preset "_init" is not listed.
// The preset loaded last is checked.
class PresetMenu : public COptionMenu {
public:
    PresetMenu(const CRect& size, CControlListener* listener, EditorHost& host);

    void beforePopup() override;
    void draw(CDrawContext* context) override;
    // The position in the plug-in's preset file list of the chosen entry.
    float fileIndexOfCurrent() const;
    // A preset chosen in a bank's submenu: selects the bank, then loads it.
    void chooseFromBank(int bank, int file);

private:
    EditorHost& host_;
    std::vector<int> fileIndexOfEntry_;

    void addBankMenus(const std::wstring& current);
};

}  // namespace tvx
