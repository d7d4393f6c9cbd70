#pragma once

#include "gui/c_anim_knob.h"

namespace tvx {

class EditorBase;

// A knob bound to a parameter: a frame of the theme's film strip, or
// without a strip an invisible drag area over a value display. It tells
// the editor when the mouse goes down and up on it.
class ParamKnob : public CAnimKnob {
public:
    static constexpr int32_t kFrames = 101;

    ParamKnob(const CRect& size, EditorBase* editor, int32_t tag, SharedBitmap filmStrip);

    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
    bool onWheel(const CPoint& where, float distance, const CButtonState& buttons) override;

private:
    EditorBase* editor_;
};

}  // namespace tvx
