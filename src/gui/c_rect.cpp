#include "gui/c_rect.h"

#include <algorithm>

namespace tvx {

CRect& CRect::setWidth(CCoord w) {
    right = left + w;
    return *this;
}

CRect& CRect::setHeight(CCoord h) {
    bottom = top + h;
    return *this;
}

CRect& CRect::offset(CCoord dx, CCoord dy) {
    left += dx;
    right += dx;
    top += dy;
    bottom += dy;
    return *this;
}

CRect& CRect::moveTo(CCoord x, CCoord y) {
    return offset(x - left, y - top);
}

CRect& CRect::inset(CCoord dx, CCoord dy) {
    left += dx;
    right -= dx;
    top += dy;
    bottom -= dy;
    return *this;
}

CRect& CRect::bound(const CRect& other) {
    left = std::max(left, other.left);
    top = std::max(top, other.top);
    right = std::min(right, other.right);
    bottom = std::min(bottom, other.bottom);
    if (isEmpty()) {
        right = left;
        bottom = top;
    }
    return *this;
}

CRect& CRect::unite(const CRect& other) {
    if (other.isEmpty()) return *this;
    if (isEmpty()) return *this = other;
    left = std::min(left, other.left);
    top = std::min(top, other.top);
    right = std::max(right, other.right);
    bottom = std::max(bottom, other.bottom);
    return *this;
}

bool CRect::pointInside(const CPoint& where) const {
    return where.x >= left && where.x < right && where.y >= top && where.y < bottom;
}

bool CRect::rectOverlap(const CRect& other) const {
    return left < other.right && other.left < right && top < other.bottom && other.top < bottom;
}

}  // namespace tvx
