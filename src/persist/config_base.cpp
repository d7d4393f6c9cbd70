#include "persist/config_base.h"

#include <algorithm>
#include <cwctype>
#include <locale>
#include <sstream>

#include "persist/text_file.h"
#include "platform/platform.h"

namespace tvx {

const wchar_t* const kPortableHomeName = L"Tessaravox_Data";

namespace {

bool ensureFolder(const std::wstring& path) {
    Platform& system = platform();
    if (!system.isDirectory(path)) system.createDirectory(path);
    return system.isDirectory(path);
}

bool isDotEntry(const std::wstring& name) { return name == L"." || name == L".."; }

wint_t folded(wchar_t c) { return std::towupper(static_cast<wint_t>(c)); }

}  // namespace

void sortNamesIgnoringCase(std::vector<std::wstring>& names) {
    std::sort(names.begin(), names.end(), [](const std::wstring& a, const std::wstring& b) {
        const bool less = std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                                       [](wchar_t x, wchar_t y) { return folded(x) < folded(y); });
        const bool greater = std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(),
                                                          [](wchar_t x, wchar_t y) { return folded(x) < folded(y); });
        return less || (!greater && a < b);
    });
}

ConfigBase::ConfigBase() {
    homeFound = findHomeFolder();
    if (homeFound) createFolders();
}

bool ConfigBase::findHomeFolder() {
    Platform& system = platform();
    std::wstring module = system.moduleFilePath();
    size_t separator = module.rfind(path_separator);
    if (separator != std::wstring::npos) {
        std::wstring portable = joinPath(module.substr(0, separator), kPortableHomeName);
        if (system.isDirectory(portable)) {
            homeFolder = portable;
            return true;
        }
    }
    std::wstring local = system.localDataFolder();
    if (local.empty()) return false;
    std::wstring vendor = joinPath(local, L"Morrowfen Software");
    if (!ensureFolder(vendor)) return false;
    std::wstring home = joinPath(vendor, L"Tessaravox");
    if (!ensureFolder(home)) return false;
    homeFolder = home;
    return true;
}

void ConfigBase::createFolders() {
    settingsFile = joinPath(homeFolder, L"Settings.txt");
    themesFolder = joinPath(homeFolder, L"Themes");
    presetsFolder = joinPath(homeFolder, L"Presets");
    themesAvailable = ensureFolder(themesFolder);
    presetsAvailable = ensureFolder(presetsFolder);
    if (themesAvailable) ensureFolder(joinPath(themesFolder, L"Default"));
    themeName = L"Default";
}

void ConfigBase::readSettings() {
    if (!homeFound) return;
    std::wstring text;
    if (!readTextFile(settingsFile, text)) return;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos) end = text.size();
        size_t equals = static_cast<size_t>(std::find(text.begin() + start, text.begin() + end, L'=') - text.begin());
        if (equals < end) handleSetting(text.substr(start, equals - start), text.substr(equals + 1, end - equals - 1));
        start = end + 1;
    }
}

void ConfigBase::writeSettingsFile() {
    if (!homeFound) return;
    std::wostringstream out;
    out.imbue(std::locale::classic());  // no digit grouping whatever the host set
    writeSettings(out);
    writeTextFile(settingsFile, out.str());
}

std::wstring ConfigBase::presetBankFolder() const {
    return presetBank.empty() ? presetsFolder : joinPath(presetsFolder, presetBank);
}

void ConfigBase::scanPresetBanks() {
    presetBanks.clear();
    if (!presetsAvailable) return;
    for (const FolderEntry& entry : platform().listFolder(presetsFolder))
        if (entry.isFolder && !isDotEntry(entry.name)) presetBanks.push_back(entry.name);
    sortNamesIgnoringCase(presetBanks);
}

namespace {

// File names compare without case, as on Windows.
bool isInitPresetName(const std::wstring& name) {
    static const wchar_t kInit[] = L"_init.prs";
    if (name.size() != sizeof(kInit) / sizeof(wchar_t) - 1) return false;
    for (size_t i = 0; i < name.size(); ++i) {
        wchar_t c = name[i];
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
        if (c != kInit[i]) return false;
    }
    return true;
}

}  // namespace

void ConfigBase::scanPresetFiles() {
    presetFiles.clear();
    if (!presetsAvailable) return;
    presetFiles = presetFilesIn(presetBankFolder());
}

std::vector<std::wstring> ConfigBase::presetFilesOfBank(int index) const {
    if (!presetsAvailable || index < 0 || static_cast<size_t>(index) > presetBanks.size()) return {};
    return presetFilesIn(index == 0 ? presetsFolder : joinPath(presetsFolder, presetBanks[size_t(index) - 1]));
}

std::vector<std::wstring> ConfigBase::presetFilesIn(const std::wstring& folder) const {
    // The init preset is loaded by its own command and never listed, so the
    // index the menu sends names the file the menu shows there.
    std::vector<std::wstring> names;
    for (const FolderEntry& entry : platform().listFolder(folder, L"*.prs"))
        if (!entry.isFolder && !isInitPresetName(entry.name)) names.push_back(entry.name);
    sortNamesIgnoringCase(names);
    std::vector<std::wstring> paths;
    paths.reserve(names.size());
    for (const std::wstring& name : names) paths.push_back(joinPath(folder, name));
    return paths;
}

void ConfigBase::selectPresetBank(int index) {
    if (index == 0)
        presetBank.clear();
    else if (index >= 1 && static_cast<size_t>(index) <= presetBanks.size())
        presetBank = presetBanks[static_cast<size_t>(index) - 1];
    scanPresetFiles();
}

void ConfigBase::showHomeFolder() {
    if (homeFound) platform().openFolder(homeFolder);
}

}  // namespace tvx
