#include "platform/platform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/desktop_scope.h"
#include "support/fake_platform.h"
#include "support/temp_folder.h"

namespace tvx {

namespace fs = std::filesystem;

TEST(Platform, PatternMatchingIgnoresAsciiCase) {
    EXPECT_TRUE(matchesPattern(L"Lead.prs", L"*.prs"));
    EXPECT_TRUE(matchesPattern(L"LEAD.PRS", L"*.prs"));
    EXPECT_FALSE(matchesPattern(L"Lead.prsx", L"*.prs"));
    EXPECT_FALSE(matchesPattern(L"prs", L"*.prs"));
    EXPECT_TRUE(matchesPattern(L"anything", L""));
    EXPECT_TRUE(matchesPattern(L"anything", L"*"));
    EXPECT_EQ(joinPath(L"a", L"b"), std::wstring(L"a") + path_separator + L"b");
}

TEST(Platform, SubstituteIsUsedUntilRestored) {
    Platform* real = &platform();
    {
        FakePlatform fake;
        EXPECT_EQ(&platform(), &fake);
        fake.dialogAnswers.push_back(std::wstring(L"/x/y.prs"));
        FileDialogRequest request;
        request.title = L"Load Preset";
        EXPECT_EQ(platform().openFileDialog(request), std::optional<std::wstring>(L"/x/y.prs"));
        EXPECT_EQ(platform().saveFileDialog(request), std::nullopt);  // nothing queued: cancelled
        EXPECT_EQ(fake.dialogRequests.size(), 2u);
        platform().messageBox(L"The preset could not be loaded.", L"Error", MessageIcon::Information);
        ASSERT_EQ(fake.messages.size(), 1u);
        EXPECT_EQ(fake.messages[0].title, L"Error");
    }
    EXPECT_EQ(&platform(), real);
}

// The real platform's file-system side; on Windows the same calls go to kernel32.
TEST(NativePlatform, FoldersAndListing) {
    TempFolder folder;
    Platform& system = platform();
    std::wstring sub = (folder.path() / "Sub").wstring();
    EXPECT_TRUE(system.createDirectory(sub));
    EXPECT_FALSE(system.createDirectory(sub));  // exists already
    EXPECT_FALSE(system.createDirectory((folder.path() / "a" / "b").wstring()));  // one level only
    EXPECT_TRUE(system.isDirectory(sub));
    TempFolder::writeBytes(folder.file("One.prs"), "x");
    TempFolder::writeBytes(folder.file("readme.txt"), "x");
    EXPECT_TRUE(system.pathExists(folder.file("One.prs")));
    EXPECT_FALSE(system.isDirectory(folder.file("One.prs")));
    EXPECT_FALSE(system.pathExists(folder.file("none")));

    auto all = system.listFolder(folder.path().wstring());
    EXPECT_EQ(all.size(), 3u);
    auto sub_entry = std::find_if(all.begin(), all.end(), [](const FolderEntry& e) { return e.name == L"Sub"; });
    ASSERT_NE(sub_entry, all.end());
    EXPECT_TRUE(sub_entry->isFolder);
    auto presets = system.listFolder(folder.path().wstring(), L"*.prs");
    ASSERT_EQ(presets.size(), 1u);
    EXPECT_EQ(presets[0].name, L"One.prs");
    EXPECT_FALSE(presets[0].isFolder);
    EXPECT_TRUE(system.listFolder(folder.file("missing")).empty());
}

#ifndef _WIN32
TEST(PosixPlatform, LocalDataFolderFollowsXdgDataHome) {
    DesktopScope desktop;
    std::string data = (desktop.folder().path() / "xdg" / "share").string();
    {
        EnvironmentScope xdg("XDG_DATA_HOME", data);
        EXPECT_EQ(platform().localDataFolder(), fs::path(data).wstring());
        EXPECT_TRUE(fs::is_directory(data));
    }
    {
        EnvironmentScope xdg("XDG_DATA_HOME", "relative/ignored");
        EXPECT_EQ(platform().localDataFolder(), (desktop.home() / ".local" / "share").wstring());
    }
}

TEST(PosixPlatform, ModulePathDialogsAndMessages) {
    // A desktop without zenity or kdialog, whatever this machine has.
    DesktopScope desktop;
    std::wstring module = platform().moduleFilePath();
    ASSERT_FALSE(module.empty());
    EXPECT_EQ(module[0], L'/');
    EXPECT_TRUE(fs::exists(fs::path(module)));
    EXPECT_EQ(platform().openFileDialog(FileDialogRequest{}), std::nullopt);
    EXPECT_EQ(platform().saveFileDialog(FileDialogRequest{}), std::nullopt);
    testing::internal::CaptureStderr();
    platform().messageBox(L"The sequence could not be saved.", L"Error", MessageIcon::Information);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error: The sequence could not be saved.\n");
}
#endif

}  // namespace tvx
