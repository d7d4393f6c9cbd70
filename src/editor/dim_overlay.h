#pragma once

#include "gui/c_color.h"
#include "gui/c_view.h"

namespace tvx {

// A veil over a section whose module does nothing (an oscillator of type
// "--", an effect at its bypass setting, an unused matrix slot): the
// controls under it show through dimmed and stay editable, as the veil
// takes no mouse input.
class DimOverlay : public CView {
public:
    DimOverlay(const CRect& size, const CColor& veil);

    // Redraws only when the state changes.
    void setDimmed(bool dimmed);
    bool isDimmed() const { return dimmed_; }

    void draw(CDrawContext* context) override;

private:
    CColor veil_;
    bool dimmed_ = false;
};

}  // namespace tvx
