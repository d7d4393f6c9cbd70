// The home folder as the real operating-system layer finds it: the per-user
// local data folder (under wine: the prefix's), unless a portable folder
// lies beside the module.

#include <gtest/gtest.h>

#include <filesystem>

#include "params/parameter_table.h"
#include "persist/config.h"
#include "platform/platform.h"
#include "support/desktop_scope.h"

namespace tvx {

namespace fs = std::filesystem;

namespace {

fs::path folderOf(const std::wstring& file) { return fs::path(file).parent_path(); }

// Removes the portable folder again, also when an assertion fails.
struct PortableFolder {
    fs::path path;
    ~PortableFolder() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
};

}  // namespace

TEST(ConfigHome, LocalDataFolderUnlessAPortableFolderLiesBesideTheModule) {
#ifndef _WIN32
    DesktopScope desktop;  // the folders are made in a home of the test's own
#endif
    float params[kNumParameters];
    fillDefaultValues(params);
    const std::wstring module = platform().moduleFilePath();
    ASSERT_FALSE(module.empty());
    PortableFolder portable{folderOf(module) / kPortableHomeName};
    std::error_code ignored;
    fs::remove_all(portable.path, ignored);

    {
        Config config(params);
        ASSERT_TRUE(config.homeFound);
        const std::wstring expected =
            joinPath(joinPath(platform().localDataFolder(), L"Morrowfen Software"), L"Tessaravox");
        EXPECT_EQ(config.homeFolder, expected);
        EXPECT_TRUE(fs::is_directory(fs::path(expected) / "Presets"));
        EXPECT_TRUE(fs::is_directory(fs::path(expected) / "Themes" / "Default"));
        EXPECT_EQ(config.settingsFile, joinPath(expected, L"Settings.txt"));
    }

    fs::create_directories(portable.path);
    {
        Config config(params);
        ASSERT_TRUE(config.homeFound);
        EXPECT_EQ(fs::path(config.homeFolder), portable.path);
        EXPECT_TRUE(config.presetsAvailable);
        EXPECT_TRUE(fs::is_directory(portable.path / "Presets"));
        EXPECT_TRUE(fs::is_directory(portable.path / "Themes" / "Default"));
    }
}

}  // namespace tvx
