#pragma once

#include <cstdint>
#include <string>

namespace tvx {

class Config;
class ConfigBase;

// Red, green, blue, alpha (255 = opaque).
struct ThemeColor {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::uint8_t alpha = 255;

    bool operator==(const ThemeColor& other) const {
        return red == other.red && green == other.green && blue == other.blue && alpha == other.alpha;
    }
    bool operator!=(const ThemeColor& other) const { return !(*this == other); }
};

// The toolkit's font style flags.
enum ThemeFontStyle : std::int32_t {
    kThemeFontNormal = 0,
    kThemeFontBold = 1,
    kThemeFontUnderlined = 4,
};

// Name and size are fixed; a theme sets only the colours and the bold flag.
// backColor matters only for the fonts drawn on a filled field (menu,
// display, the three sequencer step labels).
struct ThemeFont {
    std::string name;
    std::int32_t size = 12;  // pixels at 100 %
    std::int32_t style = kThemeFontNormal;
    ThemeColor color;
    ThemeColor backColor;
};

// Colours, fonts and margins of the editor; a default-constructed record
// holds the built-in look.
struct Theme {
    ThemeColor backgroundColor{160, 160, 160, 255};
    ThemeColor headerColor{0, 100, 106, 136};
    ThemeColor divider1Color{0, 100, 106, 136};
    ThemeColor divider2Color{128, 128, 128, 136};
    ThemeColor voiceOnColor{0, 255, 0, 255};
    ThemeColor voiceOffColor{0, 0, 0, 255};
    ThemeColor presetButtonColor{255, 255, 255, 255};

    ThemeFont logoFont{"Trebuchet MS", 16, kThemeFontNormal, {0, 0, 0, 255}, {}};
    ThemeFont titleFont{"Trebuchet MS", 14, kThemeFontNormal, {224, 224, 224, 255}, {}};
    ThemeFont menuFont{"Consolas", 12, kThemeFontBold, {5, 190, 238, 255}, {0, 0, 34, 255}};
    ThemeFont displayFont{"Consolas", 12, kThemeFontBold, {5, 190, 238, 255}, {0, 0, 34, 255}};
    ThemeFont labelFont{"Trebuchet MS", 12, kThemeFontBold, {0, 0, 0, 255}, {}};
    ThemeFont onTabFont{"Trebuchet MS", 16, kThemeFontUnderlined, {0, 0, 0, 255}, {}};
    ThemeFont offTabFont{"Trebuchet MS", 16, kThemeFontNormal, {0, 0, 0, 255}, {}};
    ThemeFont seqLabel1Font{"Consolas", 12, kThemeFontBold, {0, 0, 0, 255}, {160, 160, 160, 255}};
    ThemeFont seqLabel2Font{"Consolas", 12, kThemeFontBold, {0, 0, 0, 255}, {128, 128, 128, 255}};
    ThemeFont seqLabel3Font{"Consolas", 12, kThemeFontBold, {0, 0, 0, 255}, {192, 192, 192, 255}};

    // In steps of 8 pixels at 100 %; stored as read, without a range check.
    std::int32_t topMargin = 0;
    std::int32_t bottomMargin = 0;
    std::int32_t sideMargin = 0;
};

// Applies the lines of a Theme.txt to `theme`, which the caller has set to
// the defaults. Tolerates anything: comment lines (a '#' anywhere), lines
// without '=', unknown keys and malformed numbers are skipped or read as 0.
// Linear in the size of the text.
void applyThemeText(Theme& theme, const std::wstring& text);

// Rebuilds config.theme from <themesFolder>/<themeName>/Theme.txt, or sets
// the defaults when there is no such file.
void loadTheme(Config& config);

// <themesFolder>/<themeName>/<fileName>; empty without a themes folder.
std::wstring themeFilePath(const ConfigBase& config, const std::wstring& fileName);

}  // namespace tvx
