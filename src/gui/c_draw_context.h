#pragma once

#include "gui/c_bitmap.h"
#include "gui/c_color.h"
#include "gui/c_font_desc.h"
#include "gui/c_rect.h"

#include <string>

namespace tvx {

enum CHoriTxtAlign {
    kLeftText = 0,
    kCenterText,
    kRightText,
};

enum CDrawStyle {
    kDrawStroked = 0,
    kDrawFilled,
    kDrawFilledAndStroked,
};

// Where views draw. Coordinates given to the drawing calls are shifted by
// the offset (a container sets it to its own origin while its children
// draw) and everything is clipped to the clip rectangle, which is kept in
// the same unshifted device coordinates as the surface.
//
// Colours, line width and font are state, as in the VSTGUI API the views
// are written against. Backends implement the primitives; the state lives
// here.
class CDrawContext {
public:
    virtual ~CDrawContext() = default;

    void setFillColor(const CColor& color) { fillColor_ = color; }
    const CColor& getFillColor() const { return fillColor_; }
    void setFrameColor(const CColor& color) { frameColor_ = color; }
    const CColor& getFrameColor() const { return frameColor_; }
    void setLineWidth(CCoord width) { lineWidth_ = width < 1 ? 1 : width; }
    CCoord getLineWidth() const { return lineWidth_; }
    void setFont(const CFontDesc& font) { font_ = font; }
    const CFontDesc& getFont() const { return font_; }
    void setFontColor(const CColor& color) { fontColor_ = color; }
    const CColor& getFontColor() const { return fontColor_; }

    // The offset is added to every coordinate drawn.
    void setOffset(const CPoint& offset) { offset_ = offset; }
    const CPoint& getOffset() const { return offset_; }
    // The clip rectangle in device coordinates; applyClip() hands it to the
    // backend.
    void setClipRect(const CRect& clip);
    const CRect& getClipRect() const { return clip_; }
    void resetClipRect();
    const CRect& getSurfaceRect() const { return surface_; }

    // Rectangle in the fill colour, the frame colour (line width inside
    // the rectangle's edge) or both.
    void drawRect(const CRect& rect, CDrawStyle style = kDrawStroked);
    void fillRect(const CRect& rect, const CColor& color);
    void frameRect(const CRect& rect, const CColor& color, CCoord lineWidth);

    // Lines in the frame colour and line width; moveTo/lineTo follow the
    // VSTGUI pen model. A horizontal line at y of width w covers the rows
    // y - w/2 to y - w/2 + w - 1 (integer halves), from the start column up
    // to but not including the end column; vertical lines likewise.
    void moveTo(const CPoint& point) { pen_ = point; }
    void lineTo(const CPoint& point);
    void drawLine(const CPoint& from, const CPoint& to);

    // Antialiased text in the font and font colour, vertically centred in
    // the rectangle, clipped to it.
    void drawString(const std::string& text, const CRect& rect, CHoriTxtAlign align = kCenterText);
    CCoord getStringWidth(const std::string& text);

    // Draws the part `source` of the bitmap (a film-strip frame, say) into
    // `dest`, stretched if the sizes differ, with an extra overall alpha.
    void drawBitmap(const CBitmap& bitmap, const CRect& dest, const CRect& source, uint8_t alpha = 255);
    void drawBitmap(const CBitmap& bitmap, const CRect& dest, const CPoint& sourceOffset = {}, uint8_t alpha = 255);

protected:
    explicit CDrawContext(const CRect& surface);

    // Backend primitives, in device coordinates (offset already applied),
    // clipped to `clip` which is never empty when they are called.
    virtual void fillDeviceRect(const CRect& rect, const CColor& color, const CRect& clip) = 0;
    virtual void strokeDeviceLine(const CPoint& from, const CPoint& to, const CColor& color, CCoord width,
                                  const CRect& clip) = 0;
    virtual void drawDeviceString(const std::string& text, const CRect& rect, const CFontDesc& font,
                                  const CColor& color, CHoriTxtAlign align, const CRect& clip) = 0;
    virtual CCoord measureString(const std::string& text, const CFontDesc& font) = 0;
    virtual void drawDeviceBitmap(const CBitmap& bitmap, const CRect& dest, const CRect& source, uint8_t alpha,
                                  const CRect& clip) = 0;

    CRect toDevice(const CRect& rect) const;
    CPoint toDevice(const CPoint& point) const;
    // The clip rectangle met with `bounds`; empty means nothing to draw.
    CRect clipFor(const CRect& bounds) const;

private:
    CRect surface_;
    CRect clip_;
    CPoint offset_;
    CPoint pen_;
    CColor fillColor_ = kWhiteCColor;
    CColor frameColor_ = kBlackCColor;
    CColor fontColor_ = kBlackCColor;
    CCoord lineWidth_ = 1;
    CFontDesc font_;
};

}  // namespace tvx
