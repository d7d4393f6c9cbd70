#include "editor/theme_image.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "params/parameter_table.h"
#include "persist/config.h"
#include "support/fake_platform.h"
#include "support/png_writer.h"
#include "support/temp_folder.h"

namespace tvx {

namespace fs = std::filesystem;

namespace {

constexpr std::uint32_t kRed = 0xFF0000FFu;

class ThemeImageTest : public ::testing::Test {
protected:
    ThemeImageTest() {
        fs::create_directories(folder.path() / "plugins" / "Tessaravox_Data");
        system.modulePath = (folder.path() / "plugins" / "Tessaravox.so").wstring();
        fillDefaultValues(params);
    }
    void writeThemeFile(const std::string& name, const std::string& bytes, const std::string& theme = "Default") {
        fs::path themeFolder = folder.path() / "plugins" / "Tessaravox_Data" / "Themes" / theme;
        fs::create_directories(themeFolder);
        TempFolder::writeBytes((themeFolder / name).wstring(), bytes);
    }
    static std::string solidPng(std::uint32_t width, std::uint32_t height, std::uint32_t rgba) {
        return png_writer::encode(width, height, [rgba](std::uint32_t, std::uint32_t) { return rgba; });
    }

    TempFolder folder;
    FakePlatform system;
    float params[kNumParameters];
};

struct Size {
    int width, height;
    bool operator==(const Size& other) const { return width == other.width && height == other.height; }
};
Size sizeOf(const SharedBitmap& bitmap) { return {bitmap->getWidth(), bitmap->getHeight()}; }
void PrintTo(const Size& size, std::ostream* out) { *out << size.width << " x " << size.height; }

}  // namespace

TEST_F(ThemeImageTest, BuiltinImagesScaleWithTheEditor) {
    Config config(params);
    EXPECT_EQ(sizeOf(loadThemeImage(config, L"Background", 1.0)), (Size{1056, 624}));
    EXPECT_EQ(sizeOf(loadThemeImage(config, L"Background", 2.0)), (Size{2112, 1248}));
    EXPECT_EQ(sizeOf(loadThemeImage(config, L"Background2", 1.25)), (Size{1240, 180}));
    EXPECT_EQ(sizeOf(loadThemeImage(config, L"background3", 1.75)), (Size{1736, 252}));
    // 101 square frames at every size: 48, 60, 72, 84 and 96 pixels.
    for (double factor : {1.0, 1.25, 1.5, 1.75, 2.0}) {
        SharedBitmap knob = loadThemeImage(config, L"Knob", factor);
        int frame = static_cast<int>(96 * factor / 2);
        EXPECT_EQ(sizeOf(knob), (Size{frame, frame * 101})) << factor;
    }
    // Frame 0 and frame 100 differ: the value arc is drawn.
    SharedBitmap knob = loadThemeImage(config, L"Knob", 1.0);
    EXPECT_NE(knob->pixelAt(10, 24 + 10), knob->pixelAt(10, 100 * 48 + 24 + 10));
    EXPECT_FALSE(loadThemeImage(config, L"Logo", 1.0)->isLoaded());
}

TEST_F(ThemeImageTest, ThemeKnobStripReplacesTheBuiltinOne) {
    writeThemeFile("Knob.png", solidPng(96, 9696, kRed));
    Config config(params);
    SharedBitmap knob = loadThemeImage(config, L"Knob", 1.5);
    EXPECT_EQ(sizeOf(knob), (Size{72, 7272}));  // frames of 72 x 72
    EXPECT_EQ(knob->pixelAt(36, 5000), 0xFFFF0000u);
    // Other images still come from the plug-in.
    EXPECT_EQ(sizeOf(loadThemeImage(config, L"Background", 1.0)), (Size{1056, 624}));
}

TEST_F(ThemeImageTest, ImagesComeFromTheChosenThemeOnlyWhileThemesAreAvailable) {
    writeThemeFile("Background2.png", solidPng(4, 4, kRed), "Mine");
    Config config(params);
    EXPECT_EQ(sizeOf(loadThemeImage(config, L"Background2", 2.0)), (Size{1984, 288}));
    config.themeName = L"Mine";
    EXPECT_EQ(sizeOf(loadThemeImage(config, L"Background2", 2.0)), (Size{4, 4}));
    config.themesAvailable = false;
    EXPECT_EQ(sizeOf(loadThemeImage(config, L"Background2", 2.0)), (Size{1984, 288}));
}

TEST_F(ThemeImageTest, BadThemeImagesGiveSizeZeroWithoutCrashing) {
    Config config(params);
    auto load = [&](const std::string& bytes, double factor) {
        writeThemeFile("Knob.png", bytes);
        return sizeOf(loadThemeImage(config, L"Knob", factor));
    };
    EXPECT_EQ(load("this is not a PNG", 2.0), (Size{0, 0}));
    EXPECT_EQ(load("", 2.0), (Size{0, 0}));
    std::string good = solidPng(8, 8, kRed);
    EXPECT_EQ(load(good.substr(0, good.size() / 2), 2.0), (Size{0, 0}));  // cut short
    // A header claiming 100 000 x 100 000 pixels over a few bytes of data.
    EXPECT_EQ(load(png_writer::encode(2, 2, [](std::uint32_t, std::uint32_t) { return kRed; }, 100000, 100000), 2.0),
              (Size{0, 0}));
    // A 1 x 1 image decodes; halved at 100 % it truncates to nothing.
    EXPECT_EQ(load(solidPng(1, 1, kRed), 2.0), (Size{1, 1}));
    EXPECT_EQ(load(solidPng(1, 1, kRed), 1.0), (Size{0, 0}));
    // A folder of that name is no image.
    fs::remove(folder.path() / "plugins" / "Tessaravox_Data" / "Themes" / "Default" / "Knob.png");
    fs::create_directories(folder.path() / "plugins" / "Tessaravox_Data" / "Themes" / "Default" / "Knob.png");
    EXPECT_EQ(sizeOf(loadThemeImage(config, L"Knob", 1.0)), (Size{48, 4848}));
}

}  // namespace tvx
