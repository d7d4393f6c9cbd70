#pragma once

#include <cstdint>

#include "gui/c_point.h"

#include "gui/aeff_gui_editor.h"
#include "gui/c_control_listener.h"

namespace tvx {

class EditorHost;

// Receives every control change and hands it to the plug-in; remembers
// which control the mouse went down on (the knob whose caption shows its
// value, and the target of MIDI learn).
class EditorBase : public AEffGUIEditor, public CControlListener {
public:
    explicit EditorBase(EditorHost& host);

    virtual void beginTouch(int32_t tag);
    virtual void endTouch();
    // The wheel turned the knob of `tag`.
    virtual void wheelTurned(int32_t /*tag*/) {}
    // The right button went down on the knob or value field of `tag`;
    // `where` is in frame coordinates. Returns whether a menu took it.
    virtual bool valueMenuRequested(int32_t /*tag*/, const CPoint& /*where*/) { return false; }

    void valueChanged(CControl* control) override;
    void controlBeginEdit(CControl* control) override;
    void controlEndEdit(CControl* control) override;

    int32_t touchedTag() const { return touchedTag_; }
    bool isTouching() const { return touching_; }
    EditorHost& host() const { return host_; }

protected:
    EditorHost& host_;
    int32_t touchedTag_ = -1;
    bool touching_ = false;
};

}  // namespace tvx
