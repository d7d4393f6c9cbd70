#include "editor/dim_overlay.h"

#include "gui/c_draw_context.h"

namespace tvx {

DimOverlay::DimOverlay(const CRect& size, const CColor& veil) : CView(size), veil_(veil) {
    setMouseEnabled(false);
    setTransparency(true);
}

void DimOverlay::setDimmed(bool dimmed) {
    if (dimmed == dimmed_) return;
    dimmed_ = dimmed;
    setDirty();
}

void DimOverlay::draw(CDrawContext* context) {
    if (dimmed_) context->fillRect(size_, veil_);
}

}  // namespace tvx
