#pragma once

#include <string>
#include <vector>

#include "params/midi_settings.h"
#include "persist/config_base.h"
#include "persist/theme.h"

namespace tvx {

// Settings and shared state of one plug-in instance: the editor scale, the
// theme list and record, the MIDI controller assignments (MidiSettings) and the
// Settings.txt keys scale, modCC1, modCC2, knobCC and theme.
class Config : public ConfigBase, public MidiSettings {
public:
    // `params` is the plug-in's parameter array; `keys` its table of the 262
    // parameter keys (nullptr: the shared parameter table).
    explicit Config(float* params, const wchar_t* const* keys = nullptr);

    void handleSetting(const std::wstring& key, const std::wstring& value) override;
    void writeSettings(std::wostream& out) override;

    void scanThemes();
    // "Default", or entry `index` of themeNames when it exists.
    void selectTheme(int index);
    // Unbinds every controller that drives midiLearnParam.
    void clearAssignments();

    std::vector<std::wstring> themeNames;
    // Colours, fonts and margins of the editor, rebuilt by loadTheme at
    // every editor open.
    Theme theme;
    int scale = 0;
    float* params = nullptr;
    const wchar_t* const* keys = nullptr;

private:
    void readKnobAssignments(const std::wstring& list);
    int findKey(const std::wstring& token) const;
    const wchar_t* keyOf(int id) const;
};

}  // namespace tvx
