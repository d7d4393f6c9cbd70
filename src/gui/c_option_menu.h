#pragma once

#include "gui/c_param_display.h"

#include <memory>
#include <string>
#include <vector>

namespace tvx {

class COptionMenu;

enum CMenuItemFlags : int32_t {
    kMenuItemNone = 0,
    kMenuItemChecked = 1 << 0,
    kMenuItemDisabled = 1 << 1,
    kMenuItemSeparator = 1 << 2,
    kMenuItemTitle = 1 << 3,  // a heading that cannot be chosen
};

struct CMenuItem {
    std::string title;
    std::string shortTitle;  // what the closed menu shows, if not empty
    int32_t flags = kMenuItemNone;
    std::unique_ptr<COptionMenu> submenu;

    bool isSeparator() const { return (flags & kMenuItemSeparator) != 0; }
    bool isChecked() const { return (flags & kMenuItemChecked) != 0; }
    bool isEnabled() const { return (flags & (kMenuItemDisabled | kMenuItemTitle | kMenuItemSeparator)) == 0; }
};

// A list of entries that opens as a popup menu. Separators count as
// entries, so an entry's index is its position in the list. The value is
// the index of the current entry; a choice sets the value of the menu the
// entry belongs to (the menu or one of its submenus, each with its own
// tag) and tells the listener with that menu. Closed, it draws its current
// entry (or the entry's short title) like a CParamDisplay.
class COptionMenu : public CParamDisplay {
public:
    COptionMenu(const CRect& size, CControlListener* listener, int32_t tag, SharedBitmap background = nullptr,
                int32_t style = kNoFrame);
    ~COptionMenu() override;

    // Appends an entry (or inserts it at `index`); the title "-" makes a
    // separator. Returns the new entry.
    CMenuItem* addEntry(const std::string& title, int index = -1, int32_t flags = kMenuItemNone);
    // Appends a submenu entry, taking ownership of `submenu` (made with
    // new). The submenu keeps its own tag; without a listener of its own it
    // reports to this menu's listener.
    CMenuItem* addEntry(COptionMenu* submenu, const std::string& title);
    CMenuItem* addSeparator();
    bool removeEntry(int index);
    void removeAllEntry();

    int getNbEntries() const { return static_cast<int>(entries_.size()); }
    const CMenuItem* getEntry(int index) const;
    CMenuItem* getEntry(int index);
    COptionMenu* getSubMenu(int index) const;
    bool setEntryShortTitle(int index, const std::string& shortTitle);

    bool checkEntry(int index, bool checked);
    // Checks `index` and unchecks every other entry.
    bool checkEntryAlone(int index);
    bool isCheckEntry(int index) const;
    bool setEntryEnabled(int index, bool enabled);

    // The index of the current entry, or -1 when the value names none.
    int getCurrent() const;
    bool setCurrent(int index);
    std::string getDisplayText() const override;

    // Opens the popup at `whereInFrame` (default: the view's bottom-left
    // corner) and handles the choice. Returns true when an entry was chosen.
    bool popup();
    bool popup(const CPoint& whereInFrame);
    // Called just before the popup opens; menus that list files rebuild
    // their entries here.
    virtual void beforePopup() {}
    // Applies a choice as the popup would: sets the value of `menu` (this
    // or a submenu) and tells the listener.
    void choose(COptionMenu* menu, int index);

    // The menu and index of the last choice made through the popup.
    COptionMenu* getLastItemMenu(int& index) const;

    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    bool onWheel(const CPoint& where, float distance, const CButtonState& buttons) override;
    void valueChanged() override;

    COptionMenu* getParentMenu() const { return parentMenu_; }

private:
    CControlListener* effectiveListener() const;

    std::vector<std::unique_ptr<CMenuItem>> entries_;
    COptionMenu* parentMenu_ = nullptr;
    COptionMenu* lastMenu_ = nullptr;
    int lastIndex_ = -1;
};

}  // namespace tvx
