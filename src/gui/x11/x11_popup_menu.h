#pragma once

#include "gui/platform_frame.h"
#include "gui/x11/x11_menu_level.h"

#include <X11/Xlib.h>

#include <functional>
#include <memory>
#include <vector>

namespace tvx {

// A popup menu drawn by the toolkit, since X11 has none. It runs its own
// event loop on the UI thread until an entry is chosen or the menu is
// dismissed, like the modal popup of other systems: the pointer and the
// keyboard are grabbed while it is open, so a click anywhere else closes
// it. Submenus open when the pointer rests on their entry or with the
// Right and Return keys; Up and Down move, Left and Escape close a level.
class X11PopupMenu {
public:
    // Receives the events meant for other windows of the connection (the
    // editor window's exposes) while the loop runs.
    using OtherEvents = std::function<void(XEvent&)>;

    X11PopupMenu(Display* display, COptionMenu& menu, const CPoint& whereOnScreen, OtherEvents otherEvents);
    ~X11PopupMenu();
    X11PopupMenu(const X11PopupMenu&) = delete;
    X11PopupMenu& operator=(const X11PopupMenu&) = delete;

    PopupResult run();

private:
    bool grab();
    void ungrab();
    void handle(XEvent& event);
    void onMotion(const CPoint& screen);
    void onPress(const XButtonEvent& event);
    void onRelease(const XButtonEvent& event);
    void onKey(XKeyEvent& event);

    X11MenuLevel* levelAt(const CPoint& screen, size_t* depth);
    // The deepest level with a highlighted entry, else the first.
    size_t activeDepth() const;
    void openSubmenu(size_t depth, int index);
    void closeBelow(size_t depth);
    void choose(size_t depth, int index);
    void dismiss();

    Display* display_;
    COptionMenu& menu_;
    CPoint where_;
    OtherEvents otherEvents_;
    MenuLook look_;
    std::vector<std::unique_ptr<X11MenuLevel>> levels_;
    PopupResult result_;
    bool done_ = false;
    // Set once the pointer moved away from where the menu opened or was
    // pressed on it: only then does a release choose.
    bool armed_ = false;
};

}  // namespace tvx
