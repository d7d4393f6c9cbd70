#pragma once

#include "editor/editor_style.h"
#include "gui/c_view_container.h"

namespace tvx {

// A container that knows the editor's scale and the theme's header and
// divider colours, and draws vertical divider lines on the layout grid.
class ScaledViewContainer : public CViewContainer {
public:
    ScaledViewContainer(const CRect& size, const EditorStyle& style);

    // A 2-pixel line at grid column `column` from grid row `fromRow` to
    // `toRow` (8 pixels at 100 % each); `primary` picks the first divider
    // colour, else the second.
    void addDivider(int column, int fromRow, int toRow, bool primary);
    double factor() const { return factor_; }

    void drawBackgroundRect(CDrawContext* context, const CRect& rect) override;

protected:
    struct Divider {
        int column, fromRow, toRow;
        bool primary;
    };

    double factor_;
    CColor header_, divider1_, divider2_;
    std::vector<Divider> dividers_;

    void drawDividers(CDrawContext* context);
};

}  // namespace tvx
