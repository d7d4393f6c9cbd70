#include "gui/c_option_menu.h"

#include "gui/c_control_listener.h"
#include "gui/c_frame.h"

#include <cmath>

namespace tvx {

namespace {

// Menus index entries; the value may name any of them however many there are.
constexpr float kMaxEntries = 1.0e6f;

}  // namespace

COptionMenu::COptionMenu(const CRect& size, CControlListener* listener, int32_t tag, SharedBitmap background,
                         int32_t style)
    : CParamDisplay(size, std::move(background), style) {
    setListener(listener);
    setTag(tag);
    setMax(kMaxEntries);
    setDefaultValue(0.0f);
}

COptionMenu::~COptionMenu() = default;

CMenuItem* COptionMenu::addEntry(const std::string& title, int index, int32_t flags) {
    auto item = std::make_unique<CMenuItem>();
    item->title = title;
    item->flags = flags | (title == "-" ? kMenuItemSeparator : 0);
    CMenuItem* result = item.get();
    if (index < 0 || index >= getNbEntries()) {
        entries_.push_back(std::move(item));
    } else {
        entries_.insert(entries_.begin() + index, std::move(item));
    }
    setDirty();
    return result;
}

CMenuItem* COptionMenu::addEntry(COptionMenu* submenu, const std::string& title) {
    if (submenu == nullptr) return nullptr;
    CMenuItem* item = addEntry(title);
    item->flags &= ~kMenuItemSeparator;
    item->submenu.reset(submenu);
    submenu->parentMenu_ = this;
    return item;
}

CMenuItem* COptionMenu::addSeparator() {
    return addEntry("-", -1, kMenuItemSeparator);
}

bool COptionMenu::removeEntry(int index) {
    if (getEntry(index) == nullptr) return false;
    if (lastMenu_ != nullptr && lastMenu_ != this) lastMenu_ = nullptr;
    entries_.erase(entries_.begin() + index);
    setDirty();
    return true;
}

void COptionMenu::removeAllEntry() {
    entries_.clear();
    lastMenu_ = nullptr;
    lastIndex_ = -1;
    setDirty();
}

const CMenuItem* COptionMenu::getEntry(int index) const {
    if (index < 0 || index >= getNbEntries()) return nullptr;
    return entries_[size_t(index)].get();
}

CMenuItem* COptionMenu::getEntry(int index) {
    if (index < 0 || index >= getNbEntries()) return nullptr;
    return entries_[size_t(index)].get();
}

COptionMenu* COptionMenu::getSubMenu(int index) const {
    const CMenuItem* item = getEntry(index);
    return item != nullptr ? item->submenu.get() : nullptr;
}

bool COptionMenu::setEntryShortTitle(int index, const std::string& shortTitle) {
    CMenuItem* item = getEntry(index);
    if (item == nullptr) return false;
    item->shortTitle = shortTitle;
    setDirty();
    return true;
}

bool COptionMenu::checkEntry(int index, bool checked) {
    CMenuItem* item = getEntry(index);
    if (item == nullptr || item->isSeparator()) return false;
    item->flags = checked ? (item->flags | kMenuItemChecked) : (item->flags & ~kMenuItemChecked);
    return true;
}

bool COptionMenu::checkEntryAlone(int index) {
    if (getEntry(index) == nullptr) return false;
    for (int i = 0; i < getNbEntries(); ++i) checkEntry(i, i == index);
    return true;
}

bool COptionMenu::isCheckEntry(int index) const {
    const CMenuItem* item = getEntry(index);
    return item != nullptr && item->isChecked();
}

bool COptionMenu::setEntryEnabled(int index, bool enabled) {
    CMenuItem* item = getEntry(index);
    if (item == nullptr) return false;
    item->flags = enabled ? (item->flags & ~kMenuItemDisabled) : (item->flags | kMenuItemDisabled);
    return true;
}

int COptionMenu::getCurrent() const {
    const float value = getValue();
    const long index = std::lround(value);
    return (index >= 0 && index < getNbEntries()) ? int(index) : -1;
}

bool COptionMenu::setCurrent(int index) {
    if (getEntry(index) == nullptr) return false;
    setValue(float(index));
    return true;
}

std::string COptionMenu::getDisplayText() const {
    const CMenuItem* item = getEntry(getCurrent());
    if (item == nullptr || item->isSeparator()) return {};
    return item->shortTitle.empty() ? item->title : item->shortTitle;
}

bool COptionMenu::popup() {
    return popup(localToFrame({size_.left, size_.bottom}));
}

bool COptionMenu::popup(const CPoint& whereInFrame) {
    CFrame* frame = getFrame();
    if (frame == nullptr) return false;
    beforePopup();
    const PopupResult result = frame->popupMenu(*this, whereInFrame);
    if (result.menu == nullptr) return false;
    choose(result.menu, result.index);
    return true;
}

namespace {

bool belongsTo(const COptionMenu* menu, const COptionMenu* root) {
    for (const COptionMenu* m = menu; m != nullptr; m = m->getParentMenu())
        if (m == root) return true;
    return false;
}

}  // namespace

void COptionMenu::choose(COptionMenu* menu, int index) {
    // Only what the popup could offer: an enabled plain entry of this menu
    // or of one of its submenus.
    if (menu == nullptr || !belongsTo(menu, this)) return;
    const CMenuItem* item = menu->getEntry(index);
    if (item == nullptr || !item->isEnabled() || item->submenu) return;
    lastMenu_ = menu;
    lastIndex_ = index;
    menu->beginEdit();
    menu->setValue(float(index));
    // Choosing the entry already current is still a choice ("Load Preset"
    // twice loads twice).
    menu->valueChanged();
    menu->endEdit();
    setDirty();
}

COptionMenu* COptionMenu::getLastItemMenu(int& index) const {
    index = lastIndex_;
    return lastMenu_;
}

CControlListener* COptionMenu::effectiveListener() const {
    for (const COptionMenu* m = this; m != nullptr; m = m->parentMenu_)
        if (m->getListener() != nullptr) return m->getListener();
    return nullptr;
}

void COptionMenu::valueChanged() {
    if (CControlListener* listener = effectiveListener()) listener->valueChanged(this);
}

CMouseEventResult COptionMenu::onMouseDown(CPoint& /*where*/, const CButtonState& buttons) {
    if ((buttons & kLButton) == 0) return kMouseEventNotHandled;
    popup();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

bool COptionMenu::onWheel(const CPoint& /*where*/, float /*distance*/, const CButtonState& /*buttons*/) {
    // Menus carry commands (load, save, reset); a wheel turned over one
    // must never fire them.
    return false;
}

}  // namespace tvx
