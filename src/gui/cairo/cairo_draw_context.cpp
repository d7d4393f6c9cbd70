#include "gui/cairo/cairo_draw_context.h"

#include <cairo.h>

namespace tvx {

namespace {

void setSourceColor(cairo_t* cr, const CColor& color) {
    cairo_set_source_rgba(cr, color.red / 255.0, color.green / 255.0, color.blue / 255.0, color.alpha / 255.0);
}

// Font names a theme may ask for, mapped to the metric-compatible families
// Linux systems ship; fontconfig resolves the rest.
const char* familyFor(const std::string& name) {
    if (name == "Consolas" || name == "Courier New") return "Liberation Mono";
    if (name == "Trebuchet MS" || name == "Arial" || name == "Verdana" || name == "Tahoma") return "Liberation Sans";
    if (name == "Times New Roman") return "Liberation Serif";
    return name.c_str();
}

}  // namespace

CairoDrawContext::CairoDrawContext(cairo_t* cairo, const CRect& surface) : CDrawContext(surface), cairo_(cairo) {}

CairoDrawContext::~CairoDrawContext() = default;

void CairoDrawContext::beginClip(const CRect& clip) {
    cairo_save(cairo_);
    cairo_rectangle(cairo_, clip.left, clip.top, clip.width(), clip.height());
    cairo_clip(cairo_);
}

void CairoDrawContext::endClip() {
    cairo_restore(cairo_);
}

void CairoDrawContext::fillDeviceRect(const CRect& rect, const CColor& color, const CRect& clip) {
    (void)rect;
    // The clip is already the rectangle met with the clip region.
    cairo_save(cairo_);
    setSourceColor(cairo_, color);
    cairo_rectangle(cairo_, clip.left, clip.top, clip.width(), clip.height());
    cairo_fill(cairo_);
    cairo_restore(cairo_);
}

void CairoDrawContext::strokeDeviceLine(const CPoint& from, const CPoint& to, const CColor& color, CCoord width,
                                        const CRect& clip) {
    beginClip(clip);
    setSourceColor(cairo_, color);
    cairo_set_line_width(cairo_, width);
    cairo_set_line_cap(cairo_, CAIRO_LINE_CAP_BUTT);
    // Odd widths sit on pixel centres so that a 1-pixel line stays sharp.
    const double shift = (width % 2) ? 0.5 : 0.0;
    const bool vertical = from.x == to.x;
    const bool horizontal = from.y == to.y;
    cairo_move_to(cairo_, from.x + (vertical ? shift : 0.0), from.y + (horizontal ? shift : 0.0));
    cairo_line_to(cairo_, to.x + (vertical ? shift : 0.0), to.y + (horizontal ? shift : 0.0));
    cairo_stroke(cairo_);
    endClip();
}

void CairoDrawContext::selectFont(const CFontDesc& font) {
    cairo_select_font_face(cairo_, familyFor(font.name),
                           font.isItalic() ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
                           font.isBold() ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cairo_, font.size);
}

void CairoDrawContext::drawDeviceString(const std::string& text, const CRect& rect, const CFontDesc& font,
                                        const CColor& color, CHoriTxtAlign align, const CRect& clip) {
    beginClip(clip);
    selectFont(font);
    setSourceColor(cairo_, color);
    cairo_text_extents_t extents;
    cairo_text_extents(cairo_, text.c_str(), &extents);
    cairo_font_extents_t fontExtents;
    cairo_font_extents(cairo_, &fontExtents);
    double x = rect.left;
    if (align == kCenterText) x = rect.left + (rect.width() - extents.x_advance) / 2.0;
    if (align == kRightText) x = rect.right - extents.x_advance;
    // Centre the ascent-to-descent box, on whole pixels so that text is as
    // sharp as the hinting allows.
    const double baseline =
        rect.top + (rect.height() - (fontExtents.ascent + fontExtents.descent)) / 2.0 + fontExtents.ascent;
    const double left = double(long(x + 0.5));
    const double base = double(long(baseline + 0.5));
    cairo_move_to(cairo_, left, base);
    cairo_show_text(cairo_, text.c_str());
    if (font.isUnderlined()) {
        const double thickness = font.size >= 16 ? 2.0 : 1.0;
        cairo_rectangle(cairo_, left, base + 2.0, extents.x_advance, thickness);
        cairo_fill(cairo_);
    }
    endClip();
}

CCoord CairoDrawContext::measureString(const std::string& text, const CFontDesc& font) {
    cairo_save(cairo_);
    selectFont(font);
    cairo_text_extents_t extents;
    cairo_text_extents(cairo_, text.c_str(), &extents);
    cairo_restore(cairo_);
    return CCoord(extents.x_advance + 0.5);
}

void CairoDrawContext::drawDeviceBitmap(const CBitmap& bitmap, const CRect& dest, const CRect& source, uint8_t alpha,
                                        const CRect& clip) {
    // Wraps the pixels without copying; CBitmap's layout is cairo's ARGB32.
    cairo_surface_t* surface = cairo_image_surface_create_for_data(
        reinterpret_cast<unsigned char*>(const_cast<uint32_t*>(bitmap.pixels())), CAIRO_FORMAT_ARGB32,
        bitmap.getWidth(), bitmap.getHeight(), bitmap.stride());
    beginClip(clip);
    const double sx = double(dest.width()) / source.width();
    const double sy = double(dest.height()) / source.height();
    cairo_translate(cairo_, dest.left, dest.top);
    cairo_scale(cairo_, sx, sy);
    cairo_set_source_surface(cairo_, surface, -source.left, -source.top);
    cairo_pattern_t* pattern = cairo_get_source(cairo_);
    // 1:1 copies must not be resampled; stretched ones are smoothed. The
    // pad extend keeps edge pixels from fading into the transparent outside.
    cairo_pattern_set_filter(pattern, (sx == 1.0 && sy == 1.0) ? CAIRO_FILTER_NEAREST : CAIRO_FILTER_GOOD);
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
    cairo_rectangle(cairo_, 0, 0, source.width(), source.height());
    cairo_clip(cairo_);
    if (alpha == 255) {
        cairo_paint(cairo_);
    } else {
        cairo_paint_with_alpha(cairo_, alpha / 255.0);
    }
    endClip();
    cairo_surface_destroy(surface);
}

}  // namespace tvx
