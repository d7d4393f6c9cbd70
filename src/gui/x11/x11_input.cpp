#include "gui/x11/x11_input.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <cstdlib>

namespace tvx {

CButtonState modifiersFromState(unsigned int state) {
    CButtonState buttons = 0;
    if (state & ShiftMask) buttons |= kShift;
    if (state & ControlMask) buttons |= kControl;
    if (state & Mod1Mask) buttons |= kAlt;
    return buttons;
}

CButtonState buttonsFromState(unsigned int state) {
    CButtonState buttons = modifiersFromState(state);
    if (state & Button1Mask) buttons |= kLButton;
    if (state & Button2Mask) buttons |= kMButton;
    if (state & Button3Mask) buttons |= kRButton;
    return buttons;
}

CButtonState buttonFlag(unsigned int button) {
    switch (button) {
    case Button1: return kLButton;
    case Button2: return kMButton;
    case Button3: return kRButton;
    default: return 0;
    }
}

float wheelNotches(unsigned int button) {
    if (button == Button4) return 1.0f;
    if (button == Button5) return -1.0f;
    return 0.0f;
}

namespace {

CVirtualKey virtualKeyFor(KeySym sym) {
    switch (sym) {
    case XK_BackSpace: return kVirtualKeyBack;
    case XK_Tab:
    case XK_ISO_Left_Tab: return kVirtualKeyTab;
    case XK_Return:
    case XK_KP_Enter: return kVirtualKeyReturn;
    case XK_Escape: return kVirtualKeyEscape;
    case XK_space: return kVirtualKeySpace;
    case XK_Left:
    case XK_KP_Left: return kVirtualKeyLeft;
    case XK_Up:
    case XK_KP_Up: return kVirtualKeyUp;
    case XK_Right:
    case XK_KP_Right: return kVirtualKeyRight;
    case XK_Down:
    case XK_KP_Down: return kVirtualKeyDown;
    case XK_Page_Up:
    case XK_KP_Page_Up: return kVirtualKeyPageUp;
    case XK_Page_Down:
    case XK_KP_Page_Down: return kVirtualKeyPageDown;
    case XK_Home:
    case XK_KP_Home: return kVirtualKeyHome;
    case XK_End:
    case XK_KP_End: return kVirtualKeyEnd;
    case XK_Delete:
    case XK_KP_Delete: return kVirtualKeyDelete;
    default: return kVirtualKeyNone;
    }
}

}  // namespace

CKeyEvent keyFromEvent(XKeyEvent& event) {
    char text[8] = {};
    KeySym sym = NoSymbol;
    const int length = XLookupString(&event, text, sizeof text, &sym, nullptr);
    CKeyEvent key;
    key.modifiers = modifiersFromState(event.state);
    key.virtualKey = virtualKeyFor(sym);
    if (key.virtualKey == kVirtualKeyNone && length == 1 && static_cast<unsigned char>(text[0]) >= 0x20)
        key.character = static_cast<unsigned char>(text[0]);
    return key;
}

bool ClickTracker::press(unsigned int button, Time time, int x, int y) {
    const bool isDouble = pending_ && button == button_ && time - time_ <= kMaxInterval &&
                          std::abs(x - x_) <= kMaxDistance && std::abs(y - y_) <= kMaxDistance;
    pending_ = !isDouble;
    button_ = button;
    time_ = time;
    x_ = x;
    y_ = y;
    return isDouble;
}

void ClickTracker::moved(int x, int y) {
    if (std::abs(x - x_) > kMaxDistance || std::abs(y - y_) > kMaxDistance) pending_ = false;
}

}  // namespace tvx
