#pragma once

#include "editor/context_menu.h"

namespace tvx {

class EditorHost;

// The main menu behind the header strip: presets, size, themes, banks,
// MIDI controller settings, the home folder and About. Brought up to date
// from the configuration and the disk each time it opens.
class MainMenu : public ContextMenu {
public:
    // Entry positions (separators between them count).
    enum Entry {
        kSavePreset = 0,
        kLoadPreset = 1,
        kInitPreset = 3,
        kSize = 5,
        kThemes = 7,
        kPresetBanks = 9,
        kSettings = 11,
        kShowHomeFolder = 13,
        kAbout = 15,
    };

    MainMenu(const CRect& size, CControlListener* listener, EditorHost& host);

    void beforePopup() override;

private:
    EditorHost& host_;
    COptionMenu* sizeMenu_;
    COptionMenu* themesMenu_;
    COptionMenu* banksMenu_;
    COptionMenu* modCc1Menu_;
    COptionMenu* modCc2Menu_;
};

}  // namespace tvx
