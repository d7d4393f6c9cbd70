#include "editor/preset_menu.h"

#include "editor/editor_host.h"
#include "editor/main_menu.h"
#include "editor/text_conversion.h"
#include "params/command_index.h"
#include "persist/config.h"

namespace tvx {

namespace {

// One bank's presets; a choice goes back to the list it belongs to.
class BankPresetMenu : public COptionMenu {
public:
    BankPresetMenu(PresetMenu& owner, int bank)
        : COptionMenu(CRect(), nullptr, owner.getTag()), owner_(owner), bank_(bank) {}

    void valueChanged() override { owner_.chooseFromBank(bank_, getCurrent()); }

private:
    PresetMenu& owner_;
    int bank_;
};

}  // namespace

PresetMenu::PresetMenu(const CRect& size, CControlListener* listener, EditorHost& host)
    : COptionMenu(size, listener, kCmdLoadPreset), host_(host) {
    setTransparency(true);
    setStyle(kNoDrawStyle);
}

void PresetMenu::draw(CDrawContext*) {}

void PresetMenu::beforePopup() {
    Config& config = host_.config();
    config.scanPresetFiles();
    removeAllEntry();
    fileIndexOfEntry_.clear();
    const std::wstring current = host_.presetPath();
    for (size_t i = 0; i < config.presetFiles.size(); ++i) {
        addEntry(toUtf8(fileTitle(config.presetFiles[i])));
        checkEntry(static_cast<int>(i), config.presetFiles[i] == current);
        fileIndexOfEntry_.push_back(static_cast<int>(i));
    }
    addBankMenus(current);
}

void PresetMenu::addBankMenus(const std::wstring& current) {
    Config& config = host_.config();
    config.scanPresetBanks();
    addSeparator();
    for (int bank = 0; bank <= static_cast<int>(config.presetBanks.size()); ++bank) {
        auto* presets = new BankPresetMenu(*this, bank);
        const std::vector<std::wstring> files = config.presetFilesOfBank(bank);
        for (size_t i = 0; i < files.size(); ++i) {
            presets->addEntry(toUtf8(fileTitle(files[i])));
            presets->checkEntry(static_cast<int>(i), files[i] == current);
        }
        if (files.empty()) presets->addEntry("(empty)", -1, kMenuItemDisabled);
        addEntry(presets, bank == 0 ? "Default" : toUtf8(config.presetBanks[size_t(bank) - 1]));
    }
}

float PresetMenu::fileIndexOfCurrent() const {
    const int entry = getCurrent();
    if (entry < 0 || entry >= static_cast<int>(fileIndexOfEntry_.size())) return -1.0f;
    return static_cast<float>(fileIndexOfEntry_[entry]);
}

void PresetMenu::chooseFromBank(int bank, int file) {
    if (file < 0) return;
    // The bank list the plug-in selects from is the one this menu showed.
    host_.setParameterAutomated(kCmdPresetBank, static_cast<float>(bank));
    host_.setParameterAutomated(getTag(), static_cast<float>(file));
    setDirty();
}

}  // namespace tvx
