#pragma once

#include "gui/c_param_display.h"

class EditorHost;
struct StyledFont;

// The value of a parameter as the plug-in words it, in the theme's display
// font on its display back colour.
class ParamDisplay : public CParamDisplay {
public:
    ParamDisplay(const CRect& size, EditorHost& host, int32_t parameter, const StyledFont& font);
};
