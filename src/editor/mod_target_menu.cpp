#include "editor/mod_target_menu.h"

#include <cmath>

#include "params/modulation_codes.h"

namespace tvx {

namespace {

struct Group {
    const char* title;
    int first, count;
    const char* prefix;  // dropped from the entries of the group
};

// Flat positions as the target menu has always listed them.
constexpr Group kGroups[] = {
    {"Global", 1, 9, ""},       {"Osc 1", 10, 10, "Osc 1 "}, {"Osc 2", 20, 10, "Osc 2 "},
    {"Osc 3", 30, 10, "Osc 3 "}, {"Filters & Noise", 40, 6, ""}, {"Envelopes", 46, 12, ""},
    {"Matrix", 58, 12, ""},
};

std::string withoutPrefix(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0 ? text.substr(prefix.size()) : text;
}

// One group of targets; a choice is passed on as its flat position.
class TargetGroupMenu : public COptionMenu {
public:
    TargetGroupMenu(ModTargetMenu& owner, int first) : COptionMenu(CRect(), nullptr, owner.getTag()), owner_(owner), first_(first) {}

    void valueChanged() override { owner_.chooseFlat(first_ + getCurrent()); }

private:
    ModTargetMenu& owner_;
    int first_;
};

}  // namespace

ModTargetMenu::ModTargetMenu(const CRect& size, CControlListener* listener, int32_t tag, const StyledFont& font)
    : ParamMenu(size, listener, tag, font, {"--"}) {
    for (int i = 0; i < kNumModTargets; ++i) flatTexts_.emplace_back(modTargetMenuText(i));
    for (const Group& group : kGroups) {
        auto* submenu = new TargetGroupMenu(*this, group.first);
        for (int i = 0; i < group.count; ++i)
            submenu->addEntry(withoutPrefix(flatTexts_[size_t(group.first + i)], group.prefix));
        addEntry(submenu, group.title);
        groupStarts_.push_back(group.first);
    }
}

std::string ModTargetMenu::getDisplayText() const {
    const float value = getValue();
    const long position = std::isfinite(value) ? std::lround(value) : -1;
    if (position < 0 || position >= static_cast<long>(flatTexts_.size())) return {};
    return flatTexts_[size_t(position)];
}

bool ModTargetMenu::groupOf(int position, int& group, int& entry) const {
    for (size_t g = 0; g < groupStarts_.size(); ++g) {
        const int first = groupStarts_[g], count = kGroups[g].count;
        if (position >= first && position < first + count) {
            group = static_cast<int>(g) + 1;  // after "--"
            entry = position - first;
            return true;
        }
    }
    return false;
}

void ModTargetMenu::beforePopup() {
    const float value = getValue();
    const int position = std::isfinite(value) ? static_cast<int>(std::lround(value)) : -1;
    int group = -1, entry = -1;
    const bool grouped = groupOf(position, group, entry);
    checkEntry(0, position == 0);
    for (int g = 1; g < getNbEntries(); ++g) {
        checkEntry(g, grouped && g == group);
        COptionMenu* submenu = getSubMenu(g);
        for (int i = 0; submenu && i < submenu->getNbEntries(); ++i)
            submenu->checkEntry(i, grouped && g == group && i == entry);
    }
}

void ModTargetMenu::chooseFlat(int position) {
    if (position < 0 || position >= static_cast<int>(flatTexts_.size())) return;
    beginEdit();
    setValue(static_cast<float>(position));
    ParamMenu::valueChanged();
    endEdit();
    setDirty();
}

}  // namespace tvx
