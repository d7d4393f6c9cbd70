#include "editor/param_menu.h"

#include "editor/editor_style.h"

namespace tvx {

ParamMenu::ParamMenu(const CRect& size, CControlListener* listener, int32_t tag, const StyledFont& font,
                     const std::vector<std::string>& entries, const std::vector<std::string>& shortEntries)
    : COptionMenu(size, listener, tag) {
    setFont(font.desc);
    setFontColor(font.color);
    setBackColor(font.back);
    for (size_t i = 0; i < entries.size(); ++i) {
        addEntry(entries[i]);
        if (i < shortEntries.size()) setEntryShortTitle(static_cast<int>(i), shortEntries[i]);
    }
}

void ParamMenu::beforePopup() {
    for (int i = 0; i < getNbEntries(); ++i) checkEntry(i, i == getCurrent());
}

}  // namespace tvx
