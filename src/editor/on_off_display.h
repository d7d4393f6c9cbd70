#pragma once

#include "gui/c_param_display.h"

namespace tvx {

// A small lamp: the "on" colour while its value is 1, the "off" colour
// otherwise (a voice that sounds, or not).
class OnOffDisplay : public CParamDisplay {
public:
    OnOffDisplay(const CRect& size, const CColor& onColor, const CColor& offColor);

    void draw(CDrawContext* context) override;

private:
    CColor onColor_, offColor_;
};

}  // namespace tvx
