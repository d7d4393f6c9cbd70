#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace tvx {

// Folder state of one plug-in instance: the home folder with its settings
// file, the themes and presets folders, the current preset bank and theme
// name and the lists found on disk. Construction finds (or creates) the home
// folder through the platform layer.
class ConfigBase {
public:
    ConfigBase();

    // One key/value pair read from the settings file, both taken exactly.
    virtual void handleSetting(const std::wstring& key, const std::wstring& value) = 0;
    // Writes every setting as "key=value" lines ending in LF.
    virtual void writeSettings(std::wostream& out) = 0;
    virtual ~ConfigBase() = default;

    // Settings.txt: read once at start, written once at the end; both do
    // nothing without a home folder and tolerate any failure.
    void readSettings();
    void writeSettingsFile();

    // Both lists come sorted by name, ignoring case, as Windows lists them.
    void scanPresetBanks();
    void scanPresetFiles();
    // The preset files of bank `index` (0 the presets folder itself, k >= 1
    // entry k - 1 of presetBanks), sorted like presetFiles; empty for an
    // unknown index.
    std::vector<std::wstring> presetFilesOfBank(int index) const;
    // Index 0 is the presets folder itself, k >= 1 entry k - 1 of presetBanks
    // (an unknown index keeps the bank); the preset files are scanned again.
    // The caller resets its current preset position.
    void selectPresetBank(int index);
    void showHomeFolder();

    // The folder of the current bank: presetsFolder, or presetsFolder/presetBank.
    std::wstring presetBankFolder() const;

    bool homeFound = false;
    bool themesAvailable = false;
    bool presetsAvailable = false;
    std::wstring homeFolder;
    std::wstring settingsFile;
    std::wstring themesFolder;
    std::wstring presetsFolder;
    std::wstring presetBank;
    std::wstring themeName = L"Default";
    std::vector<std::wstring> presetFiles;
    std::vector<std::wstring> presetBanks;

private:
    std::vector<std::wstring> presetFilesIn(const std::wstring& folder) const;
    bool findHomeFolder();
    void createFolders();
};

// Sorts names by their letters, ignoring case (exact order breaks ties).
void sortNamesIgnoringCase(std::vector<std::wstring>& names);

// The name of the portable home folder placed beside the plug-in file.
extern const wchar_t* const kPortableHomeName;

}  // namespace tvx
