#pragma once

#include "gui/c_knob.h"

namespace tvx {

// A knob drawn as one frame of a film strip: `subPixmaps` frames of
// `heightOfOneImage` pixels stacked vertically in the background bitmap,
// frame 0 at the top; the value 0..1 picks frame round(value * (n - 1)).
// The frame is stretched to the view's size if it differs; without a
// bitmap the knob draws nothing and is an invisible drag area.
class CAnimKnob : public CKnob {
public:
    CAnimKnob(const CRect& size, CControlListener* listener, int32_t tag, int32_t subPixmaps,
              CCoord heightOfOneImage, SharedBitmap background, const CPoint& offset = {});

    void draw(CDrawContext* context) override;

    int32_t getNumSubPixmaps() const { return subPixmaps_; }
    CCoord getHeightOfOneImage() const { return heightOfOneImage_; }
    // The film-strip frame that the current value shows.
    int32_t currentFrame() const;
    // Draws the frames bottom to top.
    void setInverseBitmap(bool inverse) { inverse_ = inverse; }

private:
    int32_t subPixmaps_;
    CCoord heightOfOneImage_;
    CPoint offset_;
    bool inverse_ = false;
};

}  // namespace tvx
