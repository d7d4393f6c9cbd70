#include "persist/config.h"

#include <ostream>

#include "params/number_text.h"
#include "params/parameter_table.h"
#include "platform/platform.h"

namespace tvx {

namespace {

constexpr int kNumKnobControllers = 120;

int validModController(int cc) { return (cc < -1 || cc > 119) ? -1 : cc; }

}  // namespace

Config::Config(float* parameterValues, const wchar_t* const* parameterKeys)
    : params(parameterValues), keys(parameterKeys) {}

const wchar_t* Config::keyOf(int id) const { return keys ? keys[id] : parameterKey(id); }

int Config::findKey(const std::wstring& token) const {
    for (int id = 0; id < kNumParameters; ++id) {
        const wchar_t* key = keyOf(id);
        if (key && token == key) return id;
    }
    return -1;
}

void Config::handleSetting(const std::wstring& key, const std::wstring& value) {
    if (key == L"scale")
        scale = parseInteger(value);
    else if (key == L"modCC1")
        modCC1 = parseInteger(value);
    else if (key == L"modCC2")
        modCC2 = parseInteger(value);
    else if (key == L"knobCC")
        readKnobAssignments(value);
    else if (key == L"theme")
        themeName = value;
    modCC1 = validModController(modCC1);
    modCC2 = validModController(modCC2);
}

// Tokens are separated by single spaces: two spaces give an empty token, a
// space at the end none. Entries after the last token keep their values.
void Config::readKnobAssignments(const std::wstring& list) {
    size_t start = 0;
    for (int controller = 0; controller < kNumKnobControllers; ++controller) {
        size_t space = list.find(L' ', start);
        if (space == std::wstring::npos && start >= list.size()) break;
        size_t end = space == std::wstring::npos ? list.size() : space;
        knobCC[controller] = findKey(list.substr(start, end - start));
        if (space == std::wstring::npos) break;
        start = space + 1;
    }
}

void Config::writeSettings(std::wostream& out) {
    out << L"scale=" << scale << L'\n';
    out << L"modCC1=" << modCC1.load() << L'\n';
    out << L"modCC2=" << modCC2.load() << L'\n';
    out << L"knobCC=";
    for (int controller = 0; controller < kNumKnobControllers; ++controller) {
        if (controller > 0) out << L' ';
        int id = knobCC[controller];
        const wchar_t* key = isParameterIndex(id) ? keyOf(id) : nullptr;
        if (key)
            out << key;
        else
            out << L"-1";
    }
    out << L'\n';
    out << L"theme=" << themeName << L'\n';
}

void Config::scanThemes() {
    themeNames.clear();
    if (!themesAvailable) return;
    for (const FolderEntry& entry : platform().listFolder(themesFolder))
        if (entry.isFolder && entry.name != L"." && entry.name != L"..") themeNames.push_back(entry.name);
    sortNamesIgnoringCase(themeNames);
}

void Config::selectTheme(int index) {
    themeName = L"Default";
    if (index >= 0 && static_cast<size_t>(index) < themeNames.size()) themeName = themeNames[static_cast<size_t>(index)];
}

void Config::clearAssignments() {
    const int selected = midiLearnParam;
    for (auto& cc : knobCC)
        if (cc == selected) cc = -1;
}

}  // namespace tvx
