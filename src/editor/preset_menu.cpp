#include "editor/preset_menu.h"

#include "editor/editor_host.h"
#include "editor/text_conversion.h"
#include "params/command_index.h"
#include "persist/config.h"

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
    for (size_t i = 0; i < config.presetFiles.size(); ++i) {
        const std::wstring title = fileTitle(config.presetFiles[i]);
        if (title == L"_init") continue;
        addEntry(toUtf8(title));
        fileIndexOfEntry_.push_back(static_cast<int>(i));
    }
}

float PresetMenu::fileIndexOfCurrent() const {
    const int entry = getCurrent();
    if (entry < 0 || entry >= static_cast<int>(fileIndexOfEntry_.size())) return -1.0f;
    return static_cast<float>(fileIndexOfEntry_[entry]);
}
