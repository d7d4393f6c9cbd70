#pragma once

#include "gui/c_color.h"
#include "gui/c_view.h"

namespace tvx {

// Lies over one step's column of the sequencer page, all lanes: veils a
// step beyond the step count and frames the step now playing.
class StepColumn : public CView {
public:
    enum State { kUsed, kUnused, kPlaying };

    StepColumn(const CRect& size, const CColor& veil, const CColor& playing, CCoord frameWidth);

    void setState(State state);
    State state() const { return state_; }
    void draw(CDrawContext* context) override;

private:
    CColor veil_, playing_;
    CCoord frameWidth_;
    State state_ = kUsed;
};

}  // namespace tvx
