#pragma once

#include <string>

namespace tvx {

// Preset files (*.prs) hold the preset text with CR LF line ends. Both
// operations change the caller's state only when they succeed.

// The preset name a path gives: without folder (either separator) and
// without extension (from the last "." on).
std::wstring presetNameFromPath(const std::wstring& path);

// 0: parameters parsed from the file (missing keys take their defaults),
// presetPath = path and presetName taken from the file name.
// 1: the file cannot be read; nothing changed.
int loadPresetFile(const std::wstring& path, const float* defaults, float* params, std::wstring& presetName,
                   std::wstring& presetPath);

// 0: the file holds the parameters with the name taken from the file name,
// and presetPath / presetName are set accordingly.
// 1: the file cannot be written; nothing changed and an existing file at
// that path is left as it was.
int savePresetFile(const std::wstring& path, const float* params, std::wstring& presetName,
                   std::wstring& presetPath);

// presetsFolder followed by the separator and "_init.prs"; empty without a folder.
std::wstring initPresetPath(const std::wstring& presetsFolder);

// The init preset: the "_init.prs" of the presets folder when it loads,
// otherwise the init sound (defaults, oscillator 1 "Wave", filter 1
// "Lowpass 24"). Either way the name becomes "Init" and the path empty.
void loadInitPreset(const std::wstring& presetsFolder, const float* defaults, float* params,
                    std::wstring& presetName, std::wstring& presetPath);

}  // namespace tvx
