#pragma once

#include "gui/c_color.h"
#include "gui/c_kick_button.h"

namespace tvx {

// "<" or ">" beside the preset name: an arrow head that fills its box, in
// the preset button colour on the plate of the name display, so it reads
// as part of the name field and stands out from the panel.
class PresetStepButton : public CKickButton {
public:
    PresetStepButton(const CRect& size, CControlListener* listener, int32_t tag, bool pointsRight,
                     const CColor& arrow, const CColor& plate);

    void draw(CDrawContext* context) override;
    bool pointsRight() const { return pointsRight_; }

private:
    bool pointsRight_;
    CColor arrow_, plate_;
};

}  // namespace tvx
