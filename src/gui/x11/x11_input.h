#pragma once

#include "gui/c_button_state.h"

#include <X11/Xlib.h>

namespace tvx {

// Turns X11 pointer and key events into the toolkit's terms.

// Modifier keys of an event's state as CButtonState flags.
CButtonState modifiersFromState(unsigned int state);
// The held mouse buttons and modifiers of an event's state.
CButtonState buttonsFromState(unsigned int state);
// The flag of X button 1..3 (left, middle, right); 0 for the others.
CButtonState buttonFlag(unsigned int button);
// Buttons 4 and 5 are the wheel: +1 notch away from the user, -1 towards.
float wheelNotches(unsigned int button);

// The key of a KeyPress or KeyRelease; kVirtualKeyNone with character 0
// when the key means nothing to a control.
CKeyEvent keyFromEvent(XKeyEvent& event);

// X11 has no double-click: a second press of the same button soon enough
// and close enough to the first is one.
class ClickTracker {
public:
    static constexpr Time kMaxInterval = 400;  // ms, the desktop's usual
    static constexpr int kMaxDistance = 4;     // pixels either way

    // Records the press and tells whether it completes a double-click. A
    // third quick press starts a new pair rather than a triple-click.
    bool press(unsigned int button, Time time, int x, int y);
    // A press followed by a drag away from it was no click.
    void moved(int x, int y);

private:
    unsigned int button_ = 0;
    Time time_ = 0;
    int x_ = 0;
    int y_ = 0;
    bool pending_ = false;
};

}  // namespace tvx
