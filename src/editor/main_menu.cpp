#include "editor/main_menu.h"

#include <string>

#include "editor/controller_names.h"
#include "editor/editor_host.h"
#include "editor/text_conversion.h"
#include "params/command_index.h"
#include "persist/config.h"

namespace tvx {

namespace {


COptionMenu* controllerMenu(CControlListener* listener, int32_t tag) {
    auto* menu = new COptionMenu(CRect(), listener, tag);
    menu->addEntry("None");
    for (int cc = 0; cc < 120; ++cc) menu->addEntry(controllerMenuText(cc));
    return menu;
}

void checkOnly(COptionMenu& menu, int index) {
    for (int i = 0; i < menu.getNbEntries(); ++i) menu.checkEntry(i, i == index);
}

}  // namespace

MainMenu::MainMenu(const CRect& size, CControlListener* listener, EditorHost& host)
    : ContextMenu(size, listener, kCmdMainMenu), host_(host) {
    addEntry("Save Preset");
    addEntry("Load Preset");
    addSeparator();
    addEntry("Init Preset");
    addSeparator();
    sizeMenu_ = new COptionMenu(CRect(), listener, kCmdScale);
    for (const char* percent : {"100%", "125%", "150%", "175%", "200%"}) sizeMenu_->addEntry(percent);
    addEntry(sizeMenu_, "Size");
    addSeparator();
    themesMenu_ = new COptionMenu(CRect(), listener, kCmdTheme);
    addEntry(themesMenu_, "Themes");
    addSeparator();
    banksMenu_ = new COptionMenu(CRect(), listener, kCmdPresetBank);
    addEntry(banksMenu_, "Preset Banks");
    addSeparator();
    auto* settings = new COptionMenu(CRect(), listener, kCmdNothing);
    modCc1Menu_ = controllerMenu(listener, kCmdModCC1);
    modCc2Menu_ = controllerMenu(listener, kCmdModCC2);
    settings->addEntry(modCc1Menu_, "Mod CC 1");
    settings->addEntry(modCc2Menu_, "Mod CC 2");
    addEntry(settings, "Settings");
    addSeparator();
    addEntry("Show Home Folder");
    addSeparator();
    addEntry("About");
}

void MainMenu::beforePopup() {
    Config& config = host_.config();
    checkOnly(*sizeMenu_, config.scale);

    config.scanThemes();
    themesMenu_->removeAllEntry();
    for (size_t i = 0; i < config.themeNames.size(); ++i) {
        themesMenu_->addEntry(toUtf8(config.themeNames[i]));
        themesMenu_->checkEntry(static_cast<int>(i), config.themeNames[i] == config.themeName);
    }

    config.scanPresetBanks();
    banksMenu_->removeAllEntry();
    banksMenu_->addEntry("Default");
    banksMenu_->checkEntry(0, config.presetBank.empty());
    for (size_t i = 0; i < config.presetBanks.size(); ++i) {
        banksMenu_->addEntry(toUtf8(config.presetBanks[i]));
        banksMenu_->checkEntry(static_cast<int>(i + 1), config.presetBanks[i] == config.presetBank);
    }

    checkOnly(*modCc1Menu_, config.modCC1 + 1);
    checkOnly(*modCc2Menu_, config.modCC2 + 1);
}

}  // namespace tvx
