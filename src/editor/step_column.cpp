#include "editor/step_column.h"

#include "gui/c_draw_context.h"

namespace tvx {

StepColumn::StepColumn(const CRect& size, const CColor& veil, const CColor& playing, CCoord frameWidth)
    : CView(size), veil_(veil), playing_(playing), frameWidth_(frameWidth) {
    setMouseEnabled(false);
    setTransparency(true);
}

void StepColumn::setState(State state) {
    if (state == state_) return;
    state_ = state;
    setDirty();
}

void StepColumn::draw(CDrawContext* context) {
    if (state_ == kUnused) context->fillRect(size_, veil_);
    if (state_ != kPlaying) return;
    // A light wash over the whole column as well as the frame: the frame
    // alone is faint where the playing colour is close to the panel's.
    context->fillRect(size_, CColor(playing_.red, playing_.green, playing_.blue, 56));
    context->frameRect(size_, playing_, frameWidth_);
}

}  // namespace tvx
