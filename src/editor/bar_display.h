#pragma once

#include "editor/param_display.h"

namespace tvx {

// A value display with the value drawn as a bar behind its text: from the
// left edge (a step's gate or velocity, empty at 0) or from the middle (a
// bipolar amount, empty at its neutral centre).
class BarDisplay : public ParamDisplay {
public:
    enum Origin { kFromLeft, kFromCentre };

    BarDisplay(const CRect& size, EditorHost& host, int32_t parameter, const StyledFont& font, Origin origin);

    void draw(CDrawContext* context) override;
    // The bar's area for the present value (empty when there is none).
    CRect barRect() const;

private:
    Origin origin_;
    CColor bar_;
};

}  // namespace tvx
