#include "persist/theme.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "params/parameter_table.h"
#include "persist/config.h"
#include "support/fake_platform.h"
#include "support/temp_folder.h"

namespace tvx {

namespace fs = std::filesystem;

namespace {

class ThemeTest : public ::testing::Test {
protected:
    ThemeTest() {
        fs::create_directories(folder.path() / "plugins" / "Tessaravox_Data");
        system.modulePath = (folder.path() / "plugins" / "Tessaravox.so").wstring();
        fillDefaultValues(params);
    }
    fs::path themeFolder(const std::string& name = "Default") const {
        return folder.path() / "plugins" / "Tessaravox_Data" / "Themes" / name;
    }
    // Writes Default/Theme.txt and loads it into a fresh Config's record.
    Theme loaded(const std::string& bytes) {
        Config config(params);
        TempFolder::writeBytes((themeFolder() / "Theme.txt").wstring(), bytes);
        loadTheme(config);
        return config.theme;
    }

    TempFolder folder;
    FakePlatform system;
    float params[kNumParameters];
};

const ThemeColor kDefaultHeader{0, 100, 106, 136};

}  // namespace

TEST_F(ThemeTest, ColorLinesFollowTheIntegerAndTokenRules) {
    Theme theme = loaded(
        "backgroundColor=40 40 48 255\r\n"
        "headerColor=90 0 0\n"                      // three numbers: kept
        "divider1Color=0x10 010 -1 256\n"           // hex, octal, low 8 bits
        "divider2Color=1  3 4\n"                    // empty token reads 0
        "voiceOnColor=1 2 3 4 99 junk\n"            // extra tokens ignored
        "voiceOffColor=1 2 3 \n"                    // trailing space starts no token
        "presetButtonColor=7x 0xzz +9 - \n"         // digits up to the first misfit
        "logoFontColor=12 34 56 78 # green\n"       // a comment anywhere: skipped
        "titleFontColor=99999999999999999999 -99999999999999999999 0 0\n");
    EXPECT_EQ(theme.backgroundColor, (ThemeColor{40, 40, 48, 255}));
    EXPECT_EQ(theme.headerColor, kDefaultHeader);
    EXPECT_EQ(theme.divider1Color, (ThemeColor{16, 8, 255, 0}));
    EXPECT_EQ(theme.divider2Color, (ThemeColor{1, 0, 3, 4}));
    EXPECT_EQ(theme.voiceOnColor, (ThemeColor{1, 2, 3, 4}));
    EXPECT_EQ(theme.voiceOffColor, (ThemeColor{0, 0, 0, 255}));
    EXPECT_EQ(theme.presetButtonColor, (ThemeColor{7, 0, 9, 0}));
    EXPECT_EQ(theme.logoFont.color, (ThemeColor{0, 0, 0, 255}));
    // Out-of-range numbers clamp like wcstol with a 32-bit long.
    EXPECT_EQ(theme.titleFont.color, (ThemeColor{0xFF, 0x00, 0, 0}));
}

TEST_F(ThemeTest, KeysAreExactAndLinesWithoutEqualsAreSkipped) {
    Theme theme = loaded(
        "HeaderColor=1 2 3 4\n"
        " headerColor=1 2 3 4\n"
        "headerColor =1 2 3 4\n"
        "headerColor 1 2 3 4\n"
        "unknownColor=1 2 3 4\n"
        "=\n\n"
        "sideMargin=3=4\n");
    EXPECT_EQ(theme.headerColor, kDefaultHeader);
    EXPECT_EQ(theme.sideMargin, 3);
}

TEST_F(ThemeTest, BoldKeysGiveBoldOnlyForOne) {
    Theme theme = loaded(
        "labelFontBold=2\n"
        "onTabFontBold=0\n"
        "offTabFontBold=1\n"
        "titleFontBold=0x1\n"
        "seqLabel2FontBold=abc\n");
    EXPECT_EQ(theme.labelFont.style, kThemeFontNormal);
    EXPECT_EQ(theme.onTabFont.style, kThemeFontNormal);  // underline removed
    EXPECT_EQ(theme.offTabFont.style, kThemeFontBold);
    EXPECT_EQ(theme.titleFont.style, kThemeFontBold);
    EXPECT_EQ(theme.seqLabel2Font.style, kThemeFontNormal);
    EXPECT_EQ(loaded("onTabFontBold=1\n").onTabFont.style, kThemeFontBold);  // bold, no underline
    EXPECT_EQ(loaded("").onTabFont.style, kThemeFontUnderlined);
    // The menu font has no style key.
    EXPECT_EQ(loaded("menuFontBold=0\n").menuFont.style, kThemeFontBold);
}

TEST_F(ThemeTest, MenuColorsFollowTheDisplayUnlessGiven) {
    Theme onlyDisplay = loaded("displayFontColor=1 2 3 4\ndisplayBackColor=5 6 7 8\n");
    EXPECT_EQ(onlyDisplay.menuFont.color, (ThemeColor{1, 2, 3, 4}));
    EXPECT_EQ(onlyDisplay.menuFont.backColor, (ThemeColor{5, 6, 7, 8}));

    Theme both = loaded("menuFontColor=9 9 9 9\ndisplayFontColor=1 2 3 4\nmenuBackColor=7 7 7 7\ndisplayBackColor=5 6 7 8\n");
    EXPECT_EQ(both.menuFont.color, (ThemeColor{9, 9, 9, 9}));
    EXPECT_EQ(both.menuFont.backColor, (ThemeColor{7, 7, 7, 7}));
}

TEST_F(ThemeTest, MarginsAreStoredAsRead) {
    Theme theme = loaded("topMargin=-3\nbottomMargin=0x7fffffff\nsideMargin=2 apples\n");
    EXPECT_EQ(theme.topMargin, -3);
    EXPECT_EQ(theme.bottomMargin, 0x7fffffff);
    EXPECT_EQ(theme.sideMargin, 2);
}

TEST_F(ThemeTest, MissingFileOrHomeGivesDefaultsAndClearsTheOldRecord) {
    Config config(params);
    TempFolder::writeBytes((themeFolder() / "Theme.txt").wstring(), "headerColor=1 2 3 4\n");
    loadTheme(config);
    ASSERT_EQ(config.theme.headerColor, (ThemeColor{1, 2, 3, 4}));

    config.themeName = L"Nowhere";
    loadTheme(config);
    EXPECT_EQ(config.theme.headerColor, kDefaultHeader);

    system.modulePath.clear();
    system.localData.clear();
    Config homeless(params);
    homeless.theme.sideMargin = 5;
    loadTheme(homeless);
    EXPECT_EQ(homeless.theme.sideMargin, 0);
}

TEST_F(ThemeTest, ThemeNameSelectsTheFolder) {
    fs::create_directories(themeFolder("Night Blue"));
    TempFolder::writeBytes((themeFolder("Night Blue") / "Theme.txt").wstring(), "sideMargin=4\n");
    Config config(params);
    config.scanThemes();
    config.selectTheme(static_cast<int>(std::find(config.themeNames.begin(), config.themeNames.end(), L"Night Blue") -
                                        config.themeNames.begin()));
    ASSERT_EQ(config.themeName, L"Night Blue");
    loadTheme(config);
    EXPECT_EQ(config.theme.sideMargin, 4);
}

TEST_F(ThemeTest, HostileFilesNeverStopTheReading) {
    // Megabytes in one line, ten thousand keys and binary garbage, each
    // followed by a line that must still take effect.
    std::string huge = "headerColor=1 2 3 4" + std::string(4 << 20, ' ') + "\n";
    std::string manyKeys;
    for (int i = 0; i < 10000; ++i) manyKeys += "key" + std::to_string(i) + "=" + std::to_string(i) + "\n";
    for (int i = 0; i < 10000; ++i) manyKeys += "voiceOnColor=" + std::to_string(i) + " 1 2 3\n";
    std::string garbage(1 << 20, '\0');
    std::mt19937 random(7);
    for (char& byte : garbage) byte = static_cast<char>(random());
    std::string longValue = "presetButtonColor=" + std::string(2 << 20, '7') + " 1 2 3\n";

    Theme theme = loaded(huge + manyKeys + garbage + "\nsideMargin=6\n" + longValue);
    EXPECT_EQ(theme.headerColor, (ThemeColor{1, 2, 3, 4}));
    EXPECT_EQ(theme.voiceOnColor, (ThemeColor{9999 & 0xFF, 1, 2, 3}));
    EXPECT_EQ(theme.sideMargin, 6);
    EXPECT_EQ(theme.presetButtonColor, (ThemeColor{0xFF, 1, 2, 3}));
}

namespace {

// Every field a theme may set, for checks over the whole record.
std::vector<ThemeColor*> colorsOf(Theme& t) {
    return {&t.backgroundColor,          &t.headerColor,          &t.divider1Color,        &t.divider2Color,
            &t.voiceOnColor,             &t.voiceOffColor,        &t.presetButtonColor,    &t.logoFont.color,
            &t.titleFont.color,          &t.menuFont.color,       &t.menuFont.backColor,   &t.displayFont.color,
            &t.displayFont.backColor,    &t.labelFont.color,      &t.onTabFont.color,      &t.offTabFont.color,
            &t.seqLabel1Font.color,      &t.seqLabel1Font.backColor, &t.seqLabel2Font.color, &t.seqLabel2Font.backColor,
            &t.seqLabel3Font.color,      &t.seqLabel3Font.backColor};
}
std::vector<std::int32_t*> stylesAndMarginsOf(Theme& t) {
    return {&t.logoFont.style,      &t.titleFont.style,     &t.displayFont.style,   &t.labelFont.style,
            &t.onTabFont.style,     &t.offTabFont.style,    &t.seqLabel1Font.style, &t.seqLabel2Font.style,
            &t.seqLabel3Font.style, &t.topMargin,           &t.bottomMargin,        &t.sideMargin};
}

double luminance(ThemeColor c) {
    auto linear = [](std::uint8_t channel) {
        double v = channel / 255.0;
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(c.red) + 0.7152 * linear(c.green) + 0.0722 * linear(c.blue);
}

ThemeColor over(ThemeColor top, ThemeColor bottom) {
    auto mix = [&](std::uint8_t a, std::uint8_t b) {
        return static_cast<std::uint8_t>((a * top.alpha + b * (255 - top.alpha) + 127) / 255);
    };
    return {mix(top.red, bottom.red), mix(top.green, bottom.green), mix(top.blue, bottom.blue), 255};
}

double contrast(ThemeColor text, ThemeColor ground) {
    double a = luminance(text) + 0.05, b = luminance(ground) + 0.05;
    return a > b ? a / b : b / a;
}

// Each text style of a theme against what it is drawn on.
double weakestContrast(const Theme& t) {
    const ThemeColor ground = t.backgroundColor;
    const double pairs[] = {
        contrast(t.logoFont.color, ground),
        contrast(t.titleFont.color, over(t.headerColor, ground)),
        contrast(t.menuFont.color, t.menuFont.backColor),
        contrast(t.displayFont.color, t.displayFont.backColor),
        contrast(t.labelFont.color, ground),
        contrast(t.onTabFont.color, ground),
        contrast(t.offTabFont.color, ground),
        contrast(t.seqLabel1Font.color, t.seqLabel1Font.backColor),
        contrast(t.seqLabel2Font.color, t.seqLabel2Font.backColor),
        contrast(t.seqLabel3Font.color, t.seqLabel3Font.backColor),
        contrast(t.presetButtonColor, ground),
        contrast(t.voiceOnColor, t.voiceOffColor),
    };
    return *std::min_element(std::begin(pairs), std::end(pairs));
}

std::string shippedThemeText(const std::string& name) {
    return TempFolder::readBytes((fs::path(TVX_SOURCE_DIR) / "themes" / name / "Theme.txt").wstring());
}

}  // namespace

// Our themes set every key, each one readable (it overwrites a record in
// which every field holds a value no theme would use), and keep their text
// legible; installed in a home folder they load through loadTheme.
TEST_F(ThemeTest, ShippedThemesSetEveryKeyAndStayLegible) {
    const struct {
        const char* name;
        double minimumContrast;
    } shipped[] = {{"Dark", 4.5}, {"HighContrast", 7.0}};
    for (const auto& theme : shipped) {
        SCOPED_TRACE(theme.name);
        const std::string text = shippedThemeText(theme.name);
        ASSERT_FALSE(text.empty());

        Theme poisoned;
        for (ThemeColor* color : colorsOf(poisoned)) *color = {1, 2, 3, 4};
        for (std::int32_t* value : stylesAndMarginsOf(poisoned)) *value = 12345;
        std::wstring wide(text.begin(), text.end());
        applyThemeText(poisoned, wide);
        for (ThemeColor* color : colorsOf(poisoned)) EXPECT_NE(*color, (ThemeColor{1, 2, 3, 4}));
        for (std::int32_t* value : stylesAndMarginsOf(poisoned)) EXPECT_NE(*value, 12345);

        Config config(params);
        fs::path installed = themeFolder(theme.name);
        fs::create_directories(installed);
        TempFolder::writeBytes((installed / "Theme.txt").wstring(), text);
        config.themeName = std::wstring(theme.name, theme.name + std::strlen(theme.name));
        loadTheme(config);
        Theme fromDefaults;
        applyThemeText(fromDefaults, wide);
        for (size_t i = 0; i < colorsOf(fromDefaults).size(); ++i)
            EXPECT_EQ(*colorsOf(config.theme)[i], *colorsOf(fromDefaults)[i]) << i;
        EXPECT_NE(config.theme.backgroundColor, Theme().backgroundColor);
        EXPECT_GE(weakestContrast(config.theme), theme.minimumContrast);
    }
}

}  // namespace tvx
