#pragma once

#include <vector>

#include "gui/c_option_menu.h"

class EditorHost;

// The list of the current bank's presets behind the preset name. Rebuilt
// from the disk each time it opens; the init preset "_init" is not listed.
class PresetMenu : public COptionMenu {
public:
    PresetMenu(const CRect& size, CControlListener* listener, EditorHost& host);

    void beforePopup() override;
    void draw(CDrawContext* context) override;
    // The position in the plug-in's preset file list of the chosen entry:
    // the hidden init preset would otherwise shift every later entry.
    float fileIndexOfCurrent() const;

private:
    EditorHost& host_;
    std::vector<int> fileIndexOfEntry_;
};
