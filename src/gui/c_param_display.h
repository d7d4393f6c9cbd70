#pragma once

#include "gui/c_control.h"
#include "gui/c_draw_context.h"
#include "gui/value_drag.h"

#include <functional>
#include <string>

namespace tvx {

enum CParamDisplayStyle : int32_t {
    kNoDrawStyle = 1 << 0,  // draws nothing at all (an invisible control)
    kNoTextStyle = 1 << 1,  // background and frame, no text
    kNoFrame = 1 << 2,      // no frame line around it
    k3DIn = 1 << 3,
    k3DOut = 1 << 4,
};

// Shows a value as text: the owner's conversion function turns the value
// into the text (by default two decimals), drawn in the display's font,
// colours and alignment over its back colour (or bitmap).
//
// A display may be made draggable; it then behaves like a knob under it:
// vertical drag, fine drag, double-click to default, wheel.
class CParamDisplay : public CControl {
public:
    using StringConvert = std::function<std::string(float value)>;

    explicit CParamDisplay(const CRect& size, SharedBitmap background = nullptr, int32_t style = kNoFrame);

    void setStringConvert(StringConvert convert);
    // The text the current value shows.
    virtual std::string getDisplayText() const;

    void setFont(const CFontDesc& font);
    const CFontDesc& getFont() const { return font_; }
    void setFontColor(const CColor& color);
    const CColor& getFontColor() const { return fontColor_; }
    void setBackColor(const CColor& color);
    const CColor& getBackColor() const { return backColor_; }
    void setFrameColor(const CColor& color);
    const CColor& getFrameColor() const { return frameColor_; }
    void setHoriAlign(CHoriTxtAlign align);
    CHoriTxtAlign getHoriAlign() const { return horiAlign_; }
    void setStyle(int32_t style);
    int32_t getStyle() const { return style_; }
    // No back colour fill: the text sits on what lies below.
    void setTransparency(bool transparent) override;
    // Horizontal inset of the text from the left or right edge.
    void setTextInset(CCoord inset);

    void setDraggable(bool draggable) { draggable_ = draggable; }
    bool isDraggable() const { return draggable_; }
    void setZoomFactor(float pixels) { drag_.setRange(pixels); }

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
    bool onWheel(const CPoint& where, float distance, const CButtonState& buttons) override;

protected:
    // Background, frame and the text in the display's colours.
    void drawBackAndFrame(CDrawContext* context);
    void drawText(CDrawContext* context, const std::string& text);

    CFontDesc font_{"Arial", 12};
    CColor fontColor_ = kWhiteCColor;
    CColor backColor_ = kBlackCColor;
    CColor frameColor_ = kBlackCColor;
    CHoriTxtAlign horiAlign_ = kCenterText;
    int32_t style_;
    CCoord textInset_ = 2;

private:
    StringConvert convert_;
    ValueDrag drag_;
    bool draggable_ = false;
};

}  // namespace tvx
