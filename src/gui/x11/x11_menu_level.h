#pragma once

#include "gui/c_color.h"
#include "gui/c_font_desc.h"
#include "gui/c_rect.h"

#include <X11/Xlib.h>

#include <vector>

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;

namespace tvx {

class COptionMenu;

// How a popup looks: the menu's own font and colours.
struct MenuLook {
    CFontDesc font;
    CColor text;
    CColor back;
};

// One open level of a popup menu: an override-redirect window on the
// screen listing the entries of one COptionMenu, with the entry under the
// pointer or the keyboard highlighted. Coordinates it takes and gives are
// screen (root window) coordinates.
class X11MenuLevel {
public:
    // Opens beside `opener` (the parent entry, or an empty rectangle at the
    // pointer for the first level): to its right, else to its left, moved
    // up as far as needed to stay on the screen.
    X11MenuLevel(Display* display, COptionMenu& menu, const MenuLook& look, const CRect& opener);
    ~X11MenuLevel();
    X11MenuLevel(const X11MenuLevel&) = delete;
    X11MenuLevel& operator=(const X11MenuLevel&) = delete;

    COptionMenu& menu() const { return menu_; }
    Window window() const { return window_; }
    bool contains(const CPoint& screen) const;
    // The entry at a screen point, or -1.
    int entryAt(const CPoint& screen) const;
    CRect entryOnScreen(int index) const;

    int highlighted() const { return highlighted_; }
    void highlight(int index);
    // The next entry that can be chosen or opened, from the highlighted
    // one in `step` direction, wrapping; -1 when there is none.
    int nextSelectable(int step) const;
    bool isSelectable(int index) const;

    void paint();

private:
    void layOut(const MenuLook& look);
    void placeBeside(const CRect& opener);
    void paintEntry(cairo_t* cairo, int index);

    Display* display_;
    COptionMenu& menu_;
    MenuLook look_;
    Window window_ = 0;
    cairo_surface_t* surface_ = nullptr;  // the picture, copied to the window
    GC gc_ = nullptr;
    CRect bounds_;  // on the screen
    std::vector<CRect> entries_;  // inside the window
    CCoord rowHeight_ = 0;
    int highlighted_ = -1;
};

}  // namespace tvx
