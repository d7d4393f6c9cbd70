#pragma once

#include "gui/c_draw_context.h"

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;

namespace tvx {

// Draws through a cairo context that the caller owns (an X11 window's or
// an image surface's).
class CairoDrawContext : public CDrawContext {
public:
    CairoDrawContext(cairo_t* cairo, const CRect& surface);
    ~CairoDrawContext() override;

    cairo_t* cairo() const { return cairo_; }

protected:
    void fillDeviceRect(const CRect& rect, const CColor& color, const CRect& clip) override;
    void strokeDeviceLine(const CPoint& from, const CPoint& to, const CColor& color, CCoord width,
                          const CRect& clip) override;
    void drawDeviceString(const std::string& text, const CRect& rect, const CFontDesc& font, const CColor& color,
                          CHoriTxtAlign align, const CRect& clip) override;
    CCoord measureString(const std::string& text, const CFontDesc& font) override;
    void drawDeviceBitmap(const CBitmap& bitmap, const CRect& dest, const CRect& source, uint8_t alpha,
                          const CRect& clip) override;

private:
    void beginClip(const CRect& clip);
    void endClip();
    void selectFont(const CFontDesc& font);

    cairo_t* cairo_;
};

}  // namespace tvx
