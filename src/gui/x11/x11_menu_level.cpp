#include "gui/x11/x11_menu_level.h"

#include "gui/c_option_menu.h"
#include "gui/cairo/cairo_draw_context.h"
#include "gui/x11/x11_image_blit.h"

#include <cairo.h>

#include <algorithm>

namespace tvx {

namespace {

constexpr CCoord kBorder = 1;
constexpr CCoord kTextGap = 6;

void setSource(cairo_t* cairo, const CColor& color) {
    cairo_set_source_rgba(cairo, color.red / 255.0, color.green / 255.0, color.blue / 255.0, color.alpha / 255.0);
}

CColor mix(const CColor& a, const CColor& b) {
    return CColor(uint8_t((a.red + b.red) / 2), uint8_t((a.green + b.green) / 2), uint8_t((a.blue + b.blue) / 2));
}

CColor opaque(CColor color) {
    color.alpha = 255;
    return color;
}

// Widest title in the menu's font, measured on a scratch surface.
CCoord widestTitle(const COptionMenu& menu, const CFontDesc& font) {
    cairo_surface_t* scratch = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
    cairo_t* cairo = cairo_create(scratch);
    CCoord widest = 0;
    {
        CairoDrawContext context(cairo, CRect(0, 0, 1, 1));
        context.setFont(font);
        for (int i = 0; i < menu.getNbEntries(); ++i) {
            const CMenuItem* item = menu.getEntry(i);
            if (!item->isSeparator()) widest = std::max(widest, context.getStringWidth(item->title));
        }
    }
    cairo_destroy(cairo);
    cairo_surface_destroy(scratch);
    return widest;
}

}  // namespace

X11MenuLevel::X11MenuLevel(Display* display, COptionMenu& menu, const MenuLook& look, const CRect& opener)
    : display_(display), menu_(menu), look_(look) {
    // A menu drawn over a see-through colour would show the window below.
    look_.text = opaque(look_.text);
    look_.back = opaque(look_.back);
    layOut(look_);
    placeBeside(opener);
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.save_under = True;
    attributes.background_pixmap = None;
    attributes.event_mask = ExposureMask;
    const int screen = DefaultScreen(display_);
    window_ = XCreateWindow(display_, RootWindow(display_, screen), int(bounds_.left), int(bounds_.top),
                            unsigned(bounds_.width()), unsigned(bounds_.height()), 0, CopyFromParent, InputOutput,
                            CopyFromParent, CWOverrideRedirect | CWSaveUnder | CWBackPixmap | CWEventMask,
                            &attributes);
    surface_ = cairo_image_surface_create(CAIRO_FORMAT_RGB24, int(bounds_.width()), int(bounds_.height()));
    gc_ = XCreateGC(display_, window_, 0, nullptr);
    XMapRaised(display_, window_);
    XFlush(display_);
}

X11MenuLevel::~X11MenuLevel() {
    cairo_surface_destroy(surface_);
    XFreeGC(display_, gc_);
    XDestroyWindow(display_, window_);
    XFlush(display_);
}

void X11MenuLevel::layOut(const MenuLook& look) {
    const CCoord size = std::max<CCoord>(look.font.size, 8);
    rowHeight_ = size + 8;
    const CCoord separatorHeight = std::max<CCoord>(size / 2 + 1, 7);
    // Check marks sit in a column on the left, submenu arrows on the right.
    const CCoord columnWidth = rowHeight_ + widestTitle(menu_, look.font) + kTextGap + rowHeight_;
    const int screen = DefaultScreen(display_);
    const CCoord screenHeight = DisplayHeight(display_, screen);
    // A list taller than the screen continues in a further column, as the
    // controller-number menus with their 121 entries do.
    CCoord x = kBorder;
    CCoord y = kBorder;
    CCoord tallest = 0;
    for (int i = 0; i < menu_.getNbEntries(); ++i) {
        const CCoord height = menu_.getEntry(i)->isSeparator() ? separatorHeight : rowHeight_;
        if (y + height + kBorder > screenHeight && y > kBorder) {
            x += columnWidth;
            y = kBorder;
        }
        entries_.emplace_back(x, y, x + columnWidth, y + height);
        y += height;
        tallest = std::max(tallest, y);
    }
    const CCoord width = (entries_.empty() ? columnWidth : entries_.back().right) + kBorder;
    bounds_ = CRect(0, 0, width, std::max(tallest, rowHeight_) + kBorder);
}

void X11MenuLevel::placeBeside(const CRect& opener) {
    const int screen = DefaultScreen(display_);
    const CCoord screenWidth = DisplayWidth(display_, screen);
    const CCoord screenHeight = DisplayHeight(display_, screen);
    CCoord left = opener.right;
    if (left + bounds_.width() > screenWidth) left = opener.left - bounds_.width();
    left = std::max<CCoord>(0, std::min(left, screenWidth - bounds_.width()));
    CCoord top = opener.top;
    if (top + bounds_.height() > screenHeight) top = screenHeight - bounds_.height();
    bounds_.moveTo(left, std::max<CCoord>(0, top));
}

bool X11MenuLevel::contains(const CPoint& screen) const {
    return bounds_.pointInside(screen);
}

int X11MenuLevel::entryAt(const CPoint& screen) const {
    if (!contains(screen)) return -1;
    const CPoint inside(screen.x - bounds_.left, screen.y - bounds_.top);
    for (size_t i = 0; i < entries_.size(); ++i)
        if (entries_[i].pointInside(inside)) return int(i);
    return -1;
}

CRect X11MenuLevel::entryOnScreen(int index) const {
    CRect rect = entries_.at(size_t(index));
    rect.offset(bounds_.left, bounds_.top);
    return rect;
}

bool X11MenuLevel::isSelectable(int index) const {
    const CMenuItem* item = menu_.getEntry(index);
    return item != nullptr && item->isEnabled();
}

int X11MenuLevel::nextSelectable(int step) const {
    const int count = menu_.getNbEntries();
    int index = highlighted_;
    if (index < 0) index = step > 0 ? -1 : count;
    for (int tried = 0; tried < count; ++tried) {
        index = ((index + step) % count + count) % count;
        if (isSelectable(index)) return index;
    }
    return -1;
}

void X11MenuLevel::highlight(int index) {
    if (!isSelectable(index)) index = -1;
    if (index == highlighted_) return;
    highlighted_ = index;
    paint();
}

void X11MenuLevel::paint() {
    cairo_t* cairo = cairo_create(surface_);
    setSource(cairo, look_.back);
    cairo_paint(cairo);
    for (int i = 0; i < int(entries_.size()); ++i) paintEntry(cairo, i);
    setSource(cairo, mix(look_.text, look_.back));
    cairo_set_line_width(cairo, kBorder);
    cairo_rectangle(cairo, 0.5, 0.5, bounds_.width() - 1.0, bounds_.height() - 1.0);
    cairo_stroke(cairo);
    cairo_destroy(cairo);
    const int screen = DefaultScreen(display_);
    blitImage(display_, window_, gc_, DefaultVisual(display_, screen), DefaultDepth(display_, screen), surface_,
              CRect(0, 0, bounds_.width(), bounds_.height()));
    XFlush(display_);
}

void X11MenuLevel::paintEntry(cairo_t* cairo, int index) {
    const CMenuItem* item = menu_.getEntry(index);
    const CRect& row = entries_[size_t(index)];
    if (item->isSeparator()) {
        setSource(cairo, mix(look_.text, look_.back));
        const double y = (row.top + row.bottom) / 2 + 0.5;
        cairo_set_line_width(cairo, 1.0);
        cairo_move_to(cairo, row.left + 4, y);
        cairo_line_to(cairo, row.right - 4, y);
        cairo_stroke(cairo);
        return;
    }
    const bool lit = index == highlighted_;
    if (lit) {
        setSource(cairo, look_.text);
        cairo_rectangle(cairo, row.left, row.top, row.width(), row.height());
        cairo_fill(cairo);
    }
    CColor ink = lit ? look_.back : look_.text;
    if (!item->isEnabled()) ink = mix(look_.text, look_.back);
    const double h = double(rowHeight_);
    if (item->isChecked()) {
        setSource(cairo, ink);
        cairo_set_line_width(cairo, std::max(1.5, h / 9.0));
        cairo_move_to(cairo, row.left + 0.28 * h, row.top + 0.52 * h);
        cairo_line_to(cairo, row.left + 0.44 * h, row.top + 0.68 * h);
        cairo_line_to(cairo, row.left + 0.74 * h, row.top + 0.32 * h);
        cairo_stroke(cairo);
    }
    if (item->submenu != nullptr) {
        setSource(cairo, ink);
        const double x = row.right - 0.62 * h;
        cairo_move_to(cairo, x, row.top + 0.32 * h);
        cairo_line_to(cairo, x + 0.26 * h, row.top + 0.5 * h);
        cairo_line_to(cairo, x, row.top + 0.68 * h);
        cairo_close_path(cairo);
        cairo_fill(cairo);
    }
    CairoDrawContext context(cairo, CRect(0, 0, bounds_.width(), bounds_.height()));
    context.setFont(look_.font);
    context.setFontColor(ink);
    context.drawString(item->title, CRect(row.left + rowHeight_, row.top, row.right - rowHeight_, row.bottom),
                       kLeftText);
}

}  // namespace tvx
