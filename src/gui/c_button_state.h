#pragma once

#include <cstdint>

namespace tvx {

// Mouse buttons and modifier keys of one mouse event, as flags.
enum CButton : int32_t {
    kLButton = 1 << 1,
    kMButton = 1 << 2,
    kRButton = 1 << 3,
    kShift = 1 << 4,
    kControl = 1 << 5,
    kAlt = 1 << 6,
    kApple = 1 << 7,
    kDoubleClick = 1 << 10,
};

using CButtonState = int32_t;

enum CMouseEventResult {
    kMouseEventNotImplemented = 0,
    kMouseEventHandled,
    kMouseEventNotHandled,
    kMouseDownEventHandledButDontNeedMovedOrUpEvents,
};

// Key of a keyboard event: a printable character or one of the virtual keys.
enum CVirtualKey : int32_t {
    kVirtualKeyNone = 0,
    kVirtualKeyBack,
    kVirtualKeyTab,
    kVirtualKeyReturn,
    kVirtualKeyEscape,
    kVirtualKeySpace,
    kVirtualKeyLeft,
    kVirtualKeyUp,
    kVirtualKeyRight,
    kVirtualKeyDown,
    kVirtualKeyPageUp,
    kVirtualKeyPageDown,
    kVirtualKeyHome,
    kVirtualKeyEnd,
    kVirtualKeyDelete,
};

struct CKeyEvent {
    int32_t character = 0;
    CVirtualKey virtualKey = kVirtualKeyNone;
    CButtonState modifiers = 0;
};

}  // namespace tvx
