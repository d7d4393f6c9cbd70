#include "persist/theme.h"

#include <string_view>

#include "params/number_text.h"
#include "persist/config.h"
#include "persist/text_file.h"
#include "platform/platform.h"

namespace tvx {

namespace {

using Key = std::wstring_view;

struct ColorKey {
    const wchar_t* key;
    ThemeColor& (*field)(Theme&);
};

struct IntegerKey {
    const wchar_t* key;
    std::int32_t& (*field)(Theme&);
};

const ColorKey kColorKeys[] = {
    {L"backgroundColor", [](Theme& t) -> ThemeColor& { return t.backgroundColor; }},
    {L"headerColor", [](Theme& t) -> ThemeColor& { return t.headerColor; }},
    {L"divider1Color", [](Theme& t) -> ThemeColor& { return t.divider1Color; }},
    {L"divider2Color", [](Theme& t) -> ThemeColor& { return t.divider2Color; }},
    {L"voiceOnColor", [](Theme& t) -> ThemeColor& { return t.voiceOnColor; }},
    {L"voiceOffColor", [](Theme& t) -> ThemeColor& { return t.voiceOffColor; }},
    {L"presetButtonColor", [](Theme& t) -> ThemeColor& { return t.presetButtonColor; }},
    {L"logoFontColor", [](Theme& t) -> ThemeColor& { return t.logoFont.color; }},
    {L"titleFontColor", [](Theme& t) -> ThemeColor& { return t.titleFont.color; }},
    {L"menuFontColor", [](Theme& t) -> ThemeColor& { return t.menuFont.color; }},
    {L"menuBackColor", [](Theme& t) -> ThemeColor& { return t.menuFont.backColor; }},
    {L"displayFontColor", [](Theme& t) -> ThemeColor& { return t.displayFont.color; }},
    {L"displayBackColor", [](Theme& t) -> ThemeColor& { return t.displayFont.backColor; }},
    {L"labelFontColor", [](Theme& t) -> ThemeColor& { return t.labelFont.color; }},
    {L"onTabFontColor", [](Theme& t) -> ThemeColor& { return t.onTabFont.color; }},
    {L"offTabFontColor", [](Theme& t) -> ThemeColor& { return t.offTabFont.color; }},
    {L"seqLabel1FontColor", [](Theme& t) -> ThemeColor& { return t.seqLabel1Font.color; }},
    {L"seqLabel1BackColor", [](Theme& t) -> ThemeColor& { return t.seqLabel1Font.backColor; }},
    {L"seqLabel2FontColor", [](Theme& t) -> ThemeColor& { return t.seqLabel2Font.color; }},
    {L"seqLabel2BackColor", [](Theme& t) -> ThemeColor& { return t.seqLabel2Font.backColor; }},
    {L"seqLabel3FontColor", [](Theme& t) -> ThemeColor& { return t.seqLabel3Font.color; }},
    {L"seqLabel3BackColor", [](Theme& t) -> ThemeColor& { return t.seqLabel3Font.backColor; }},
};

// The menu font has no style key: it stays bold.
const IntegerKey kStyleKeys[] = {
    {L"logoFontBold", [](Theme& t) -> std::int32_t& { return t.logoFont.style; }},
    {L"titleFontBold", [](Theme& t) -> std::int32_t& { return t.titleFont.style; }},
    {L"displayFontBold", [](Theme& t) -> std::int32_t& { return t.displayFont.style; }},
    {L"labelFontBold", [](Theme& t) -> std::int32_t& { return t.labelFont.style; }},
    {L"onTabFontBold", [](Theme& t) -> std::int32_t& { return t.onTabFont.style; }},
    {L"offTabFontBold", [](Theme& t) -> std::int32_t& { return t.offTabFont.style; }},
    {L"seqLabel1FontBold", [](Theme& t) -> std::int32_t& { return t.seqLabel1Font.style; }},
    {L"seqLabel2FontBold", [](Theme& t) -> std::int32_t& { return t.seqLabel2Font.style; }},
    {L"seqLabel3FontBold", [](Theme& t) -> std::int32_t& { return t.seqLabel3Font.style; }},
};

const IntegerKey kMarginKeys[] = {
    {L"topMargin", [](Theme& t) -> std::int32_t& { return t.topMargin; }},
    {L"bottomMargin", [](Theme& t) -> std::int32_t& { return t.bottomMargin; }},
    {L"sideMargin", [](Theme& t) -> std::int32_t& { return t.sideMargin; }},
};

template <typename Entry, size_t N>
const Entry* findKey(const Entry (&table)[N], Key key) {
    for (const Entry& entry : table)
        if (key == entry.key) return &entry;
    return nullptr;
}

int integerOf(Key text) { return parseInteger(text.data(), text.data() + text.size()); }

// Four space-separated numbers, each reduced to its low 8 bits. Tokens are
// split at every single space (two spaces make an empty token, which reads
// as 0; a space at the very end starts no token). Only the first four
// tokens are looked at, so a huge value costs no more than a short one.
bool parseColor(Key value, ThemeColor& color) {
    int channels[4];
    size_t start = 0;
    for (int& channel : channels) {
        if (start >= value.size()) return false;
        size_t space = value.find(L' ', start);
        size_t end = space == Key::npos ? value.size() : space;
        channel = integerOf(value.substr(start, end - start));
        start = space == Key::npos ? value.size() : space + 1;
    }
    auto low8 = [](int n) { return static_cast<std::uint8_t>(static_cast<unsigned>(n) & 0xFFu); };
    color = {low8(channels[0]), low8(channels[1]), low8(channels[2]), low8(channels[3])};
    return true;
}

struct ReadState {
    bool menuColorGiven = false;
    bool menuBackGiven = false;
};

void applySetting(Theme& theme, Key key, Key value, ReadState& state) {
    if (const ColorKey* entry = findKey(kColorKeys, key)) {
        if (!parseColor(value, entry->field(theme))) return;
        if (key == L"menuFontColor") state.menuColorGiven = true;
        if (key == L"menuBackColor") state.menuBackGiven = true;
    } else if (const IntegerKey* style = findKey(kStyleKeys, key)) {
        style->field(theme) = integerOf(value) == 1 ? kThemeFontBold : kThemeFontNormal;
    } else if (const IntegerKey* margin = findKey(kMarginKeys, key)) {
        margin->field(theme) = integerOf(value);
    }
}

void applyLine(Theme& theme, Key line, ReadState& state) {
    if (line.find(L'#') != Key::npos) return;
    size_t equals = line.find(L'=');
    if (equals == Key::npos) return;
    applySetting(theme, line.substr(0, equals), line.substr(equals + 1), state);
}

}  // namespace

void applyThemeText(Theme& theme, const std::wstring& text) {
    const Key all(text);
    ReadState state;
    size_t start = 0;
    while (start < all.size()) {
        size_t end = all.find(L'\n', start);
        if (end == Key::npos) end = all.size();
        applyLine(theme, all.substr(start, end - start), state);
        start = end + 1;
    }
    // Themes that recolour only the value displays get matching menus.
    if (!state.menuColorGiven) theme.menuFont.color = theme.displayFont.color;
    if (!state.menuBackGiven) theme.menuFont.backColor = theme.displayFont.backColor;
}

std::wstring themeFilePath(const ConfigBase& config, const std::wstring& fileName) {
    if (config.themesFolder.empty()) return {};
    return joinPath(joinPath(config.themesFolder, config.themeName), fileName);
}

void loadTheme(Config& config) {
    config.theme = Theme();
    // Without a home folder there is no themes folder: the path must not
    // fall back to one relative to the root of the drive.
    std::wstring path = themeFilePath(config, L"Theme.txt");
    if (path.empty() || !platform().pathExists(path)) return;
    std::wstring text;
    if (readTextFile(path, text)) applyThemeText(config.theme, text);
}

}  // namespace tvx
