#pragma once

#include "params/midi_settings.h"

// Seam for the configuration: settings and home folder come later.
class Config : public MidiSettings {
public:
    Config(float* params, const wchar_t* const* keys) : params_(params), keys_(keys) {}
    void readSettings() {}
    void writeSettingsFile() {}
    void scanPresetBanks() {}
    void scanPresetFiles() {}

private:
    float* params_;
    const wchar_t* const* keys_;
};
