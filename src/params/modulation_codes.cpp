#include "params/modulation_codes.h"

namespace tvx {

namespace {

struct MenuCode {
    const char* text;
    int code;
};

#include "params/modulation_codes_data.inc"

template <int N>
int codeAt(const MenuCode (&menu)[N], int position) {
    return (position >= 0 && position < N) ? menu[position].code : 0;
}

template <int N>
int positionOf(const MenuCode (&menu)[N], int code) {
    for (int i = 0; i < N; ++i)
        if (menu[i].code == code) return i;
    return 0;
}

template <int N>
const char* textAt(const MenuCode (&menu)[N], int position) {
    return (position >= 0 && position < N) ? menu[position].text : nullptr;
}

}  // namespace

int modSourceFromMenu(int menuPosition) { return codeAt(kSourceMenu, menuPosition); }
int modTargetFromMenu(int menuPosition) { return codeAt(kTargetMenu, menuPosition); }
int menuFromModSource(int code) { return positionOf(kSourceMenu, code); }
int menuFromModTarget(int code) { return positionOf(kTargetMenu, code); }
const char* modSourceMenuText(int menuPosition) { return textAt(kSourceMenu, menuPosition); }
const char* modTargetMenuText(int menuPosition) { return textAt(kTargetMenu, menuPosition); }

}  // namespace tvx
