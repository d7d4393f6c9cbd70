#include "gui/c_draw_context.h"

#include <algorithm>
#include <cmath>

namespace tvx {

CDrawContext::CDrawContext(const CRect& surface) : surface_(surface), clip_(surface) {}

void CDrawContext::setClipRect(const CRect& clip) {
    clip_ = clip;
    clip_.bound(surface_);
}

void CDrawContext::resetClipRect() {
    clip_ = surface_;
}

CRect CDrawContext::toDevice(const CRect& rect) const {
    CRect result = rect;
    result.offset(offset_.x, offset_.y);
    return result;
}

CPoint CDrawContext::toDevice(const CPoint& point) const {
    return point + offset_;
}

CRect CDrawContext::clipFor(const CRect& bounds) const {
    CRect result = clip_;
    return result.bound(bounds);
}

void CDrawContext::fillRect(const CRect& rect, const CColor& color) {
    const CRect device = toDevice(rect);
    const CRect clip = clipFor(device);
    if (clip.isEmpty() || color.alpha == 0) return;
    fillDeviceRect(device, color, clip);
}

void CDrawContext::frameRect(const CRect& rect, const CColor& color, CCoord lineWidth) {
    if (rect.isEmpty() || lineWidth < 1) return;
    const CCoord w = std::min(lineWidth, std::min(rect.width(), rect.height()) / 2 + 1);
    // Four bands inside the edge, so the frame never blends twice at the
    // corners.
    fillRect({rect.left, rect.top, rect.right, rect.top + w}, color);
    fillRect({rect.left, rect.bottom - w, rect.right, rect.bottom}, color);
    fillRect({rect.left, rect.top + w, rect.left + w, rect.bottom - w}, color);
    fillRect({rect.right - w, rect.top + w, rect.right, rect.bottom - w}, color);
}

void CDrawContext::drawRect(const CRect& rect, CDrawStyle style) {
    if (style == kDrawFilled || style == kDrawFilledAndStroked) fillRect(rect, fillColor_);
    if (style == kDrawStroked || style == kDrawFilledAndStroked) frameRect(rect, frameColor_, lineWidth_);
}

void CDrawContext::lineTo(const CPoint& point) {
    drawLine(pen_, point);
    pen_ = point;
}

void CDrawContext::drawLine(const CPoint& from, const CPoint& to) {
    if (clip_.isEmpty() || frameColor_.alpha == 0) return;
    // Straight lines are bands of whole pixels, the same on every backend
    // (rasterisers disagree on which row a 1-pixel line on a pixel edge takes).
    const CCoord before = lineWidth_ / 2;
    if (from.y == to.y) {
        fillRect({std::min(from.x, to.x), from.y - before, std::max(from.x, to.x), from.y - before + lineWidth_},
                 frameColor_);
        return;
    }
    if (from.x == to.x) {
        fillRect({from.x - before, std::min(from.y, to.y), from.x - before + lineWidth_, std::max(from.y, to.y)},
                 frameColor_);
        return;
    }
    strokeDeviceLine(toDevice(from), toDevice(to), frameColor_, lineWidth_, clip_);
}

void CDrawContext::drawString(const std::string& text, const CRect& rect, CHoriTxtAlign align) {
    if (text.empty() || fontColor_.alpha == 0 || font_.size <= 0) return;
    const CRect device = toDevice(rect);
    const CRect clip = clipFor(device);
    if (clip.isEmpty()) return;
    drawDeviceString(text, device, font_, fontColor_, align, clip);
}

CCoord CDrawContext::getStringWidth(const std::string& text) {
    if (text.empty() || font_.size <= 0) return 0;
    return measureString(text, font_);
}

void CDrawContext::drawBitmap(const CBitmap& bitmap, const CRect& dest, const CRect& source, uint8_t alpha) {
    if (!bitmap.isLoaded() || alpha == 0) return;
    if (source.isEmpty() || dest.isEmpty()) return;
    CRect src = source;
    src.bound({0, 0, bitmap.getWidth(), bitmap.getHeight()});
    if (src.isEmpty()) return;
    // A source reaching past the bitmap shrinks the destination alike, so
    // the part that exists keeps its place and scale.
    const double sx = double(dest.width()) / source.width();
    const double sy = double(dest.height()) / source.height();
    const CRect cropped(dest.left + CCoord(std::lround((src.left - source.left) * sx)),
                        dest.top + CCoord(std::lround((src.top - source.top) * sy)),
                        dest.right - CCoord(std::lround((source.right - src.right) * sx)),
                        dest.bottom - CCoord(std::lround((source.bottom - src.bottom) * sy)));
    if (cropped.isEmpty()) return;
    const CRect device = toDevice(cropped);
    const CRect clip = clipFor(device);
    if (clip.isEmpty()) return;
    drawDeviceBitmap(bitmap, device, src, alpha, clip);
}

void CDrawContext::drawBitmap(const CBitmap& bitmap, const CRect& dest, const CPoint& sourceOffset, uint8_t alpha) {
    drawBitmap(bitmap, dest, CRect(sourceOffset, dest.getSize()), alpha);
}

}  // namespace tvx
