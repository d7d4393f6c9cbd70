#include "editor/main_view_container.h"

namespace tvx {

MainViewContainer::MainViewContainer(const CRect& size, const EditorStyle& style)
    : ScaledViewContainer(size, style) {
    // Per module row: between oscillator halves (second colour), then
    // before filters, envelopes and LFOs.
    const int rows[3][2] = {{4, 18}, {22, 36}, {40, 54}};
    for (const auto& row : rows) {
        addDivider(28, row[0], row[1], false);
        for (int column : {46, 64, 98}) addDivider(column, row[0], row[1], true);
    }
}

void MainViewContainer::drawBackgroundRect(CDrawContext* context, const CRect& rect) {
    CViewContainer::drawBackgroundRect(context, rect);
    const auto scaled = [this](int v) { return static_cast<CCoord>(v * factor_); };
    for (const auto& bar : kTitleBars)
        context->fillRect(CRect(scaled(kTitleLeft), scaled(bar[0]), scaled(kTitleRight), scaled(bar[1])), header_);
    drawDividers(context);
}

}  // namespace tvx
