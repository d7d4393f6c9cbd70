#pragma once

#include "gui/c_point.h"

namespace tvx {

// A rectangle with exclusive right and bottom edges: (0, 0, 48, 48) covers
// 48 x 48 pixels.
struct CRect {
    CCoord left = 0;
    CCoord top = 0;
    CCoord right = 0;
    CCoord bottom = 0;

    constexpr CRect() = default;
    constexpr CRect(CCoord l, CCoord t, CCoord r, CCoord b) : left(l), top(t), right(r), bottom(b) {}
    constexpr CRect(const CPoint& origin, const CPoint& size)
        : left(origin.x), top(origin.y), right(origin.x + size.x), bottom(origin.y + size.y) {}

    constexpr CCoord width() const { return right - left; }
    constexpr CCoord height() const { return bottom - top; }
    constexpr CCoord getWidth() const { return width(); }
    constexpr CCoord getHeight() const { return height(); }
    constexpr bool isEmpty() const { return right <= left || bottom <= top; }
    constexpr CPoint getTopLeft() const { return {left, top}; }
    constexpr CPoint getSize() const { return {width(), height()}; }

    CRect& setWidth(CCoord w);
    CRect& setHeight(CCoord h);
    CRect& offset(CCoord dx, CCoord dy);
    CRect& moveTo(CCoord x, CCoord y);
    CRect& inset(CCoord dx, CCoord dy);
    // Shrinks this rectangle to its intersection with `other` (empty when
    // they do not meet).
    CRect& bound(const CRect& other);
    // Grows this rectangle to cover `other` too; an empty rectangle adopts it.
    CRect& unite(const CRect& other);

    bool pointInside(const CPoint& where) const;
    bool rectOverlap(const CRect& other) const;

    constexpr bool operator==(const CRect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
    constexpr bool operator!=(const CRect& o) const { return !(*this == o); }
};

}  // namespace tvx
