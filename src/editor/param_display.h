#pragma once

#include "gui/c_param_display.h"

namespace tvx {

class EditorBase;
class EditorHost;
struct StyledFont;

// The value of a parameter as the plug-in words it, in the theme's display
// font on its display back colour.
class ParamDisplay : public CParamDisplay {
public:
    ParamDisplay(const CRect& size, EditorHost& host, int32_t parameter, const StyledFont& font);

    // The right button on the display opens the parameter's knob menu
    // there; every other press passes to the views below.
    void setMenuOwner(EditorBase* editor);
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    // A value with its unit may be wider than the field where the system's
    // font runs wide: it is drawn in a smaller size rather than cut off.
    void draw(CDrawContext* context) override;

private:
    EditorBase* menuOwner_ = nullptr;
};

}  // namespace tvx
