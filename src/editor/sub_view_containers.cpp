#include "editor/sub_view_containers.h"

namespace tvx {

namespace {
// Dividers of the pages run from y 24 to 140.
constexpr int kFromRow = 3;
constexpr int kToRow = 17;
}  // namespace

SubView1Container::SubView1Container(const CRect& size, const EditorStyle& style)
    : ScaledViewContainer(size, style) {
    for (int column : {1, 21, 35, 45, 63, 81, 107}) addDivider(column, kFromRow, kToRow, true);
}

SubView2Container::SubView2Container(const CRect& size, const EditorStyle& style, SharedBitmap background)
    : ScaledViewContainer(size, style) {
    setBackground(std::move(background));
    addDivider(1, kFromRow, kToRow, true);
    addDivider(62, kFromRow, kToRow, false);  // between slots 1-6 and 7-12
}

SubView3Container::SubView3Container(const CRect& size, const EditorStyle& style, SharedBitmap background)
    : ScaledViewContainer(size, style) {
    setBackground(std::move(background));
    addDivider(1, kFromRow, kToRow, true);
    addDivider(21, kFromRow, kToRow, false);
}

}  // namespace tvx
