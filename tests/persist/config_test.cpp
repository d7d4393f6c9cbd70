#include "persist/config.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "params/parameter_table.h"
#include "support/comma_locale.h"
#include "support/fake_platform.h"
#include "support/temp_folder.h"

namespace tvx {

namespace fs = std::filesystem;

namespace {

class ConfigTest : public ::testing::Test {
protected:
    ConfigTest() {
        fs::create_directories(folder.path() / "plugins");
        fs::create_directories(folder.path() / "local");
        system.modulePath = (folder.path() / "plugins" / "Tessaravox.so").wstring();
        system.localData = (folder.path() / "local").wstring();
        fillDefaultValues(params);
    }
    fs::path localHome() const { return folder.path() / "local" / "Morrowfen Software" / "Tessaravox"; }
    void writeSettings(const std::string& bytes) { TempFolder::writeBytes((localHome() / "Settings.txt").wstring(), bytes); }

    TempFolder folder;
    FakePlatform system;
    float params[kNumParameters];
};

std::string line(const std::string& text, int number) {
    size_t start = 0;
    for (int i = 0; i < number; ++i) start = text.find("\r\n", start) + 2;
    return text.substr(start, text.find("\r\n", start) - start);
}

}  // namespace

TEST_F(ConfigTest, CreatesHomeBelowLocalDataFolder) {
    Config config(params);
    ASSERT_TRUE(config.homeFound);
    EXPECT_EQ(config.homeFolder, localHome().wstring());
    EXPECT_EQ(config.settingsFile, (localHome() / "Settings.txt").wstring());
    EXPECT_TRUE(config.themesAvailable);
    EXPECT_TRUE(config.presetsAvailable);
    EXPECT_TRUE(fs::is_directory(localHome() / "Themes" / "Default"));
    EXPECT_TRUE(fs::is_directory(localHome() / "Presets"));
    EXPECT_EQ(config.themeName, L"Default");
    EXPECT_EQ(config.scale, 0);
    EXPECT_EQ(config.modCC1, -1);
    EXPECT_TRUE(std::all_of(std::begin(config.knobCC), std::end(config.knobCC), [](int cc) { return cc == -1; }));
}

TEST_F(ConfigTest, PortableFolderBesideModuleTakesPrecedence) {
    fs::path portable = folder.path() / "plugins" / "Tessaravox_Data";
    fs::create_directory(portable);
    Config config(params);
    EXPECT_EQ(config.homeFolder, portable.wstring());
    EXPECT_TRUE(fs::is_directory(portable / "Themes" / "Default"));
    EXPECT_TRUE(fs::is_directory(portable / "Presets"));
    EXPECT_FALSE(fs::exists(folder.path() / "local" / "Morrowfen Software"));
}

TEST_F(ConfigTest, NoHomeFolderReadsAndWritesNothing) {
    system.modulePath.clear();
    system.localData.clear();
    Config config(params);
    EXPECT_FALSE(config.homeFound);
    EXPECT_FALSE(config.presetsAvailable);
    config.readSettings();
    config.writeSettingsFile();
    config.scanPresetBanks();
    config.scanPresetFiles();
    config.showHomeFolder();
    EXPECT_TRUE(config.presetFiles.empty());
    EXPECT_TRUE(system.openedFolders.empty());
    EXPECT_EQ(config.themeName, L"Default");
}

TEST_F(ConfigTest, ReadSettingsNumberAndKeyRules) {
    { Config create(params); }
    writeSettings("scale=7\r\nmodCC1=0x10\r\nmodCC2=abc\r\nScale=3\r\nscale =4\r\nno equals\r\n"
                  "theme=  My Theme  \r\n");
    Config config(params);
    config.readSettings();
    EXPECT_EQ(config.scale, 7);
    EXPECT_EQ(config.modCC1, 16);
    EXPECT_EQ(config.modCC2, 0);
    EXPECT_EQ(config.themeName, L"  My Theme  ");

    writeSettings("modCC1=120\nmodCC2=-2\nscale= -012\n");
    config.readSettings();
    EXPECT_EQ(config.modCC1, -1);
    EXPECT_EQ(config.modCC2, -1);
    EXPECT_EQ(config.scale, -10);  // octal

    writeSettings("modCC1=119\nmodCC2=99999999999999999999\nscale=-99999999999\n");
    config.readSettings();
    EXPECT_EQ(config.modCC1, 119);
    EXPECT_EQ(config.modCC2, -1);
    EXPECT_EQ(config.scale, INT32_MIN);
}

TEST_F(ConfigTest, KnobControllerListTokens) {
    Config config(params);
    config.knobCC[5] = Volume;
    config.handleSetting(L"knobCC", L"Flt1Cut");
    EXPECT_EQ(config.knobCC[0], Flt1Cut);
    EXPECT_EQ(config.knobCC[5], Volume);  // after the last token: kept
    for (int i = 0; i < 120; ++i) config.knobCC[i] = -1;
    config.handleSetting(L"knobCC", L"-1  Volume");
    EXPECT_EQ(config.knobCC[0], -1);
    EXPECT_EQ(config.knobCC[1], -1);
    EXPECT_EQ(config.knobCC[2], Volume);
    EXPECT_EQ(config.knobCC[3], -1);
    config.knobCC[1] = Osc1Pos;
    config.handleSetting(L"knobCC", L"flt1cut ");  // wrong case, trailing space: one token
    EXPECT_EQ(config.knobCC[0], -1);
    EXPECT_EQ(config.knobCC[1], Osc1Pos);
    std::wstring many;
    for (int i = 0; i < 130; ++i) many += L"Env1Att ";
    config.handleSetting(L"knobCC", many);
    EXPECT_TRUE(std::all_of(std::begin(config.knobCC), std::end(config.knobCC), [](int cc) { return cc == Env1Att; }));
}

TEST_F(ConfigTest, WritesFiveCrLfLinesThatReadBack) {
    {
        Config config(params);
        config.scale = 7;
        config.modCC1 = 1;
        config.knobCC[1] = Flt1Cut;
        config.knobCC[119] = 9999;  // not a parameter: written as unassigned
        config.themeName = L"Dark Blue";
        CommaLocaleScope comma;  // digit grouping must not reach the file
        config.scale = 12345;
        config.writeSettingsFile();
    }
    std::string text = TempFolder::readBytes((localHome() / "Settings.txt").wstring());
    EXPECT_EQ(line(text, 0), "scale=12345");
    EXPECT_EQ(line(text, 1), "modCC1=1");
    EXPECT_EQ(line(text, 2), "modCC2=-1");
    std::string knobs = "knobCC=-1 Flt1Cut";
    for (int i = 0; i < 118; ++i) knobs += " -1";
    EXPECT_EQ(line(text, 3), knobs);
    EXPECT_EQ(line(text, 4), "theme=Dark Blue");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 5);
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");

    Config reread(params);
    reread.readSettings();
    EXPECT_EQ(reread.scale, 12345);
    EXPECT_EQ(reread.modCC1, 1);
    EXPECT_EQ(reread.knobCC[1], Flt1Cut);
    EXPECT_EQ(reread.knobCC[119], -1);
    EXPECT_EQ(reread.themeName, L"Dark Blue");
}

TEST_F(ConfigTest, ScansSelectionsAndClearing) {
    fs::path presets = localHome() / "Presets";
    fs::create_directories(presets / "Bank A");
    fs::create_directories(localHome() / "Themes" / "Night");
    TempFolder::writeBytes((presets / "One.prs").wstring(), "");
    TempFolder::writeBytes((presets / "Two.PRS").wstring(), "");
    TempFolder::writeBytes((presets / "notes.txt").wstring(), "");
    TempFolder::writeBytes((presets / "_init.prs").wstring(), "");  // loaded by its own command, never listed
    TempFolder::writeBytes((presets / "Bank A" / "Three.prs").wstring(), "");
    fs::create_directories(presets / "Folder.prs");

    Config config(params);
    config.scanPresetBanks();
    std::sort(config.presetBanks.begin(), config.presetBanks.end());
    EXPECT_EQ(config.presetBanks, (std::vector<std::wstring>{L"Bank A", L"Folder.prs"}));
    config.scanPresetFiles();
    std::sort(config.presetFiles.begin(), config.presetFiles.end());
    EXPECT_EQ(config.presetFiles, (std::vector<std::wstring>{(presets / "One.prs").wstring(), (presets / "Two.PRS").wstring()}));

    int bankA = 1 + static_cast<int>(std::find(config.presetBanks.begin(), config.presetBanks.end(), L"Bank A") -
                                      config.presetBanks.begin());
    config.selectPresetBank(bankA);
    EXPECT_EQ(config.presetBank, L"Bank A");
    EXPECT_EQ(config.presetFiles, (std::vector<std::wstring>{(presets / "Bank A" / "Three.prs").wstring()}));
    config.selectPresetBank(99);  // beyond the list: bank kept, files scanned again
    EXPECT_EQ(config.presetBank, L"Bank A");
    EXPECT_EQ(config.presetFiles.size(), 1u);
    config.selectPresetBank(0);
    EXPECT_EQ(config.presetBank, L"");
    EXPECT_EQ(config.presetFiles.size(), 2u);

    config.scanThemes();
    std::sort(config.themeNames.begin(), config.themeNames.end());
    EXPECT_EQ(config.themeNames, (std::vector<std::wstring>{L"Default", L"Night"}));
    config.selectTheme(1);
    EXPECT_EQ(config.themeName, L"Night");
    config.selectTheme(5);
    EXPECT_EQ(config.themeName, L"Default");
    config.selectTheme(-1);
    EXPECT_EQ(config.themeName, L"Default");

    config.knobCC[3] = Flt1Res;
    config.knobCC[7] = Flt1Res;
    config.knobCC[8] = Volume;
    config.midiLearnParam = Flt1Res;
    config.clearAssignments();
    EXPECT_EQ(config.knobCC[3], -1);
    EXPECT_EQ(config.knobCC[7], -1);
    EXPECT_EQ(config.knobCC[8], Volume);

    config.showHomeFolder();
    EXPECT_EQ(system.openedFolders, (std::vector<std::wstring>{localHome().wstring()}));
}

}  // namespace tvx
