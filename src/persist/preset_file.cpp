#include "persist/preset_file.h"

#include "params/parameter_table.h"
#include "persist/preset_text.h"
#include "persist/text_file.h"
#include "platform/platform.h"

namespace tvx {

std::wstring presetNameFromPath(const std::wstring& path) {
    size_t slash = path.find_last_of(L"\\/");
    std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    size_t dot = name.rfind(L'.');
    if (dot != std::wstring::npos) name.erase(dot);
    return name;
}

int loadPresetFile(const std::wstring& path, const float* defaults, float* params, std::wstring& presetName,
                   std::wstring& presetPath) {
    std::wstring text;
    if (!readTextFile(path, text)) return 1;
    float parsed[kNumParameters];
    std::wstring ignoredName;
    parsePresetText(text, defaults, parsed, ignoredName);
    for (int id = 0; id < kNumParameters; ++id) params[id] = parsed[id];
    presetPath = path;
    presetName = presetNameFromPath(path);
    return 0;
}

int savePresetFile(const std::wstring& path, const float* params, std::wstring& presetName,
                   std::wstring& presetPath) {
    std::wstring name = presetNameFromPath(path);
    if (!writeTextFile(path, buildPresetText(params, name))) return 1;
    presetPath = path;
    presetName = name;
    return 0;
}

std::wstring initPresetPath(const std::wstring& presetsFolder) {
    if (presetsFolder.empty()) return std::wstring();
    return presetsFolder + path_separator + L"_init.prs";
}

void loadInitPreset(const std::wstring& presetsFolder, const float* defaults, float* params,
                    std::wstring& presetName, std::wstring& presetPath) {
    std::wstring path = initPresetPath(presetsFolder);
    if (path.empty() || loadPresetFile(path, defaults, params, presetName, presetPath) != 0) {
        for (int id = 0; id < kNumParameters; ++id) params[id] = defaults[id];
        params[Osc1Type] = 1.0f;
        params[Flt1Type] = 1.0f;
    }
    presetName = L"Init";
    presetPath.clear();
}

}  // namespace tvx
