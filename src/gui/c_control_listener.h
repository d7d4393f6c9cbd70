#pragma once

namespace tvx {

class CControl;

// Receives the changes a user makes to controls. valueChanged is called
// on the UI thread after the control's value changed by a gesture, never
// by setValue.
class CControlListener {
public:
    virtual ~CControlListener() = default;
    virtual void valueChanged(CControl* control) = 0;
    // Around a gesture (mouse down to mouse up), so a host can group the
    // changes into one automation edit.
    virtual void controlBeginEdit(CControl* /*control*/) {}
    virtual void controlEndEdit(CControl* /*control*/) {}
};

}  // namespace tvx
