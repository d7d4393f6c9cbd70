#include "persist/preset_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "params/parameter_table.h"
#include "persist/text_file.h"
#include "support/temp_folder.h"

namespace tvx {

namespace {

class PresetFile : public ::testing::Test {
protected:
    PresetFile() {
        fillDefaultValues(defaults);
        fillInitSound(params);
    }
    TempFolder folder;
    float defaults[kNumParameters];
    float params[kNumParameters];
    std::wstring name = L"before", path = L"before";
};

}  // namespace

TEST(PresetName, FromPathWithoutFolderAndExtension) {
    EXPECT_EQ(presetNameFromPath(L"C:\\Presets\\Bank\\Warm Pad.prs"), L"Warm Pad");
    EXPECT_EQ(presetNameFromPath(L"/home/u/Presets/Lead.v2.prs"), L"Lead.v2");
    EXPECT_EQ(presetNameFromPath(L"mixed/dir\\Bass.prs"), L"Bass");
    EXPECT_EQ(presetNameFromPath(L"NoExtension"), L"NoExtension");
    EXPECT_EQ(presetNameFromPath(L"/dir.with.dots/file"), L"file");
    EXPECT_EQ(presetNameFromPath(L""), L"");
}

TEST_F(PresetFile, SingleLineLoadsDefaultsPlusValueAndFileName) {
    std::wstring file = folder.file("Glass Bell.prs");
    TempFolder::writeBytes(file, "Osc1Pos=0.25\r\nPresetName=Ignored\r\n");
    ASSERT_EQ(loadPresetFile(file, defaults, params, name, path), 0);
    EXPECT_EQ(name, L"Glass Bell");
    EXPECT_EQ(path, file);
    EXPECT_EQ(params[Osc1Pos], 0.25f);
    EXPECT_EQ(params[Osc1Type], defaults[Osc1Type]);  // init sound's 1 replaced by the default
    for (int i = 0; i < kNumParameters; ++i)
        if (i != Osc1Pos) {
            EXPECT_EQ(params[i], defaults[i]) << i;
        }
}

TEST_F(PresetFile, SaveWritesCrLfAndLoadRestoresEverything) {
    params[Flt1Cut] = 0.123456f;
    params[Mod5Target] = 17.0f;
    std::wstring file = folder.file("My Sound.prs");
    ASSERT_EQ(savePresetFile(file, params, name, path), 0);
    EXPECT_EQ(name, L"My Sound");
    EXPECT_EQ(path, file);
    std::string bytes = TempFolder::readBytes(file);
    EXPECT_EQ(bytes.substr(0, 24), "Volume=0.500000\r\nOsc1Pos");
    EXPECT_NE(bytes.find("\r\nPresetName=My Sound\r\n"), std::string::npos);
    EXPECT_EQ(bytes.find("\n\n"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(temporaryPathFor(file)));

    float loaded[kNumParameters];
    std::wstring loadedName, loadedPath;
    ASSERT_EQ(loadPresetFile(file, defaults, loaded, loadedName, loadedPath), 0);
    EXPECT_EQ(std::memcmp(loaded, params, sizeof params), 0);
    EXPECT_EQ(loadedName, L"My Sound");
}

TEST_F(PresetFile, MissingFileLeavesStateUnchanged) {
    params[Volume] = 0.9f;
    EXPECT_EQ(loadPresetFile(folder.file("absent.prs"), defaults, params, name, path), 1);
    EXPECT_EQ(loadPresetFile(folder.path().wstring(), defaults, params, name, path), 1);  // a folder
    EXPECT_EQ(params[Volume], 0.9f);
    EXPECT_EQ(name, L"before");
    EXPECT_EQ(path, L"before");
}

TEST_F(PresetFile, FailedSaveKeepsTheOldFileAndState) {
    std::wstring file = folder.file("Keep.prs");
    TempFolder::writeBytes(file, "Volume=0.1\r\n");
    // The temporary file cannot be created while a folder holds its name.
    std::filesystem::create_directory(std::filesystem::path(temporaryPathFor(file)));
    EXPECT_EQ(savePresetFile(file, params, name, path), 1);
    EXPECT_EQ(TempFolder::readBytes(file), "Volume=0.1\r\n");
    EXPECT_EQ(name, L"before");
    EXPECT_EQ(path, L"before");
    // Nor can a folder be replaced by the new file.
    std::wstring dir = folder.file("Dir.prs");
    std::filesystem::create_directory(std::filesystem::path(dir));
    EXPECT_EQ(savePresetFile(dir, params, name, path), 1);
    EXPECT_FALSE(std::filesystem::exists(temporaryPathFor(dir)));
    EXPECT_EQ(savePresetFile(folder.file("no/such/folder/x.prs"), params, name, path), 1);
}

TEST_F(PresetFile, InitPresetUsesInitFileOrInitSound) {
    params[Volume] = 0.9f;
    loadInitPreset(folder.path().wstring(), defaults, params, name, path);
    EXPECT_EQ(name, L"Init");
    EXPECT_EQ(path, L"");
    EXPECT_EQ(params[Volume], defaults[Volume]);
    EXPECT_EQ(params[Osc1Type], 1.0f);
    EXPECT_EQ(params[Flt1Type], 1.0f);

    TempFolder::writeBytes(initPresetPath(folder.path().wstring()), "Volume=0.7\nPresetName=Other\n");
    loadInitPreset(folder.path().wstring(), defaults, params, name, path);
    EXPECT_EQ(name, L"Init");
    EXPECT_EQ(path, L"");
    EXPECT_EQ(params[Volume], 0.7f);
    EXPECT_EQ(params[Osc1Type], defaults[Osc1Type]);

    loadInitPreset(L"", defaults, params, name, path);  // no home folder
    EXPECT_EQ(params[Volume], defaults[Volume]);
    EXPECT_EQ(params[Osc1Type], 1.0f);
}

}  // namespace tvx
