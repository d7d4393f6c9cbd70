#include "editor/scaled_view_container.h"

#include <cmath>

namespace tvx {

ScaledViewContainer::ScaledViewContainer(const CRect& size, const EditorStyle& style)
    : CViewContainer(size),
      factor_(style.factor),
      header_(style.header),
      divider1_(style.divider1),
      divider2_(style.divider2) {
    setTransparency(true);
}

void ScaledViewContainer::addDivider(int column, int fromRow, int toRow, bool primary) {
    dividers_.push_back({column, fromRow, toRow, primary});
}

void ScaledViewContainer::drawBackgroundRect(CDrawContext* context, const CRect& rect) {
    CViewContainer::drawBackgroundRect(context, rect);
    drawDividers(context);
}

// The grid step scales with the window; the extra 4 pixels at the lower end
// do not, as the layout has it.
void ScaledViewContainer::drawDividers(CDrawContext* context) {
    const auto grid = [this](int units) { return static_cast<CCoord>(std::trunc(8.0 * units * factor_)); };
    for (const Divider& d : dividers_) {
        const CCoord x = grid(d.column);
        context->fillRect(CRect(x, grid(d.fromRow), x + 2, grid(d.toRow) + 4), d.primary ? divider1_ : divider2_);
    }
}

}  // namespace tvx
