#include "gui/x11/x11_popup_menu.h"

#include "gui/c_option_menu.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace tvx {

namespace {

constexpr unsigned int kPointerEvents = ButtonPressMask | ButtonReleaseMask | PointerMotionMask;
// Another client (the host's own menu, say) may hold a grab for a moment.
constexpr int kGrabAttempts = 50;
constexpr auto kGrabRetryDelay = std::chrono::milliseconds(10);
// A release this close to where the menu opened ends the click that
// opened it rather than choosing an entry.
constexpr int kClickSlop = 3;

}  // namespace

X11PopupMenu::X11PopupMenu(Display* display, COptionMenu& menu, const CPoint& whereOnScreen,
                           OtherEvents otherEvents)
    : display_(display), menu_(menu), where_(whereOnScreen), otherEvents_(std::move(otherEvents)) {
    look_ = MenuLook{menu.getFont(), menu.getFontColor(), menu.getBackColor()};
}

X11PopupMenu::~X11PopupMenu() {
    levels_.clear();
    XFlush(display_);
}

PopupResult X11PopupMenu::run() {
    if (menu_.getNbEntries() == 0) return {};
    levels_.push_back(std::make_unique<X11MenuLevel>(display_, menu_, look_, CRect(where_.x, where_.y, where_.x,
                                                                                   where_.y)));
    levels_.front()->paint();
    if (!grab()) {
        // Without the grab a click elsewhere would leave the menu open
        // with nothing to close it: better not to open it at all.
        levels_.clear();
        return {};
    }
    while (!done_) {
        XEvent event;
        XNextEvent(display_, &event);
        handle(event);
    }
    ungrab();
    levels_.clear();
    XFlush(display_);
    return result_;
}

bool X11PopupMenu::grab() {
    const Window window = levels_.front()->window();
    XSync(display_, False);
    for (int attempt = 0; attempt < kGrabAttempts; ++attempt) {
        const int pointer =
            XGrabPointer(display_, window, False, kPointerEvents, GrabModeAsync, GrabModeAsync, None, None, CurrentTime);
        if (pointer == GrabSuccess) {
            if (XGrabKeyboard(display_, window, False, GrabModeAsync, GrabModeAsync, CurrentTime) == GrabSuccess)
                return true;
            XUngrabPointer(display_, CurrentTime);
        }
        std::this_thread::sleep_for(kGrabRetryDelay);
    }
    return false;
}

void X11PopupMenu::ungrab() {
    XUngrabKeyboard(display_, CurrentTime);
    XUngrabPointer(display_, CurrentTime);
}

void X11PopupMenu::handle(XEvent& event) {
    switch (event.type) {
    case Expose:
        if (event.xexpose.count == 0) {
            for (const auto& level : levels_)
                if (level->window() == event.xexpose.window) {
                    level->paint();
                    return;
                }
        }
        break;
    case MotionNotify:
        while (XCheckTypedEvent(display_, MotionNotify, &event)) {
        }
        onMotion(CPoint(event.xmotion.x_root, event.xmotion.y_root));
        return;
    case ButtonPress: onPress(event.xbutton); return;
    case ButtonRelease: onRelease(event.xbutton); return;
    case KeyPress: onKey(event.xkey); return;
    default: break;
    }
    if (otherEvents_) otherEvents_(event);
}

X11MenuLevel* X11PopupMenu::levelAt(const CPoint& screen, size_t* depth) {
    for (size_t d = levels_.size(); d-- > 0;) {
        if (levels_[d]->contains(screen)) {
            *depth = d;
            return levels_[d].get();
        }
    }
    return nullptr;
}

size_t X11PopupMenu::activeDepth() const {
    for (size_t d = levels_.size(); d-- > 0;)
        if (levels_[d]->highlighted() >= 0) return d;
    return 0;
}

void X11PopupMenu::onMotion(const CPoint& screen) {
    if (std::abs(screen.x - where_.x) > kClickSlop || std::abs(screen.y - where_.y) > kClickSlop)
        armed_ = true;
    size_t depth = 0;
    X11MenuLevel* level = levelAt(screen, &depth);
    if (level == nullptr) return;
    const int index = level->entryAt(screen);
    if (index == level->highlighted()) return;
    closeBelow(depth);
    level->highlight(index);
    if (level->highlighted() >= 0) openSubmenu(depth, index);
}

void X11PopupMenu::onPress(const XButtonEvent& event) {
    const CPoint screen(event.x_root, event.y_root);
    size_t depth = 0;
    if (levelAt(screen, &depth) == nullptr) {
        dismiss();
        return;
    }
    armed_ = true;
}

void X11PopupMenu::onRelease(const XButtonEvent& event) {
    if (event.button > Button3 || !armed_) return;
    const CPoint screen(event.x_root, event.y_root);
    size_t depth = 0;
    X11MenuLevel* level = levelAt(screen, &depth);
    if (level == nullptr) return;
    const int index = level->entryAt(screen);
    if (!level->isSelectable(index) || level->menu().getSubMenu(index) != nullptr) return;
    choose(depth, index);
}

void X11PopupMenu::onKey(XKeyEvent& event) {
    const KeySym key = XLookupKeysym(&event, 0);
    const size_t depth = activeDepth();
    X11MenuLevel& level = *levels_[depth];
    switch (key) {
    case XK_Down:
    case XK_KP_Down:
    case XK_Up:
    case XK_KP_Up: {
        const int step = (key == XK_Down || key == XK_KP_Down) ? 1 : -1;
        closeBelow(depth);
        level.highlight(level.nextSelectable(step));
        break;
    }
    case XK_Right:
    case XK_KP_Right:
    case XK_Return:
    case XK_KP_Enter:
    case XK_space: {
        const int index = level.highlighted();
        if (index < 0) break;
        if (level.menu().getSubMenu(index) != nullptr) {
            openSubmenu(depth, index);
            if (levels_.size() > depth + 1) levels_[depth + 1]->highlight(levels_[depth + 1]->nextSelectable(1));
        } else if (key != XK_Right && key != XK_KP_Right) {
            choose(depth, index);
        }
        break;
    }
    case XK_Left:
    case XK_KP_Left:
        if (levels_.size() > 1) levels_.pop_back();
        break;
    case XK_Escape:
        if (levels_.size() > 1) {
            levels_.pop_back();
        } else {
            dismiss();
        }
        break;
    default: break;
    }
}

void X11PopupMenu::openSubmenu(size_t depth, int index) {
    COptionMenu* submenu = levels_[depth]->menu().getSubMenu(index);
    if (submenu == nullptr || submenu->getNbEntries() == 0) return;
    if (levels_.size() > depth + 1 && &levels_[depth + 1]->menu() == submenu) return;
    closeBelow(depth);
    levels_.push_back(
        std::make_unique<X11MenuLevel>(display_, *submenu, look_, levels_[depth]->entryOnScreen(index)));
    levels_.back()->paint();
}

void X11PopupMenu::closeBelow(size_t depth) {
    while (levels_.size() > depth + 1) levels_.pop_back();
}

void X11PopupMenu::choose(size_t depth, int index) {
    result_.menu = &levels_[depth]->menu();
    result_.index = index;
    done_ = true;
}

void X11PopupMenu::dismiss() {
    result_ = PopupResult{};
    done_ = true;
}

}  // namespace tvx
