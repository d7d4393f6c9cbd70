#pragma once

namespace tvx {

// Coordinates are whole pixels: the editor scales its layout itself and
// truncates every position, so fractional coordinates would buy nothing.
using CCoord = int;

struct CPoint {
    CCoord x = 0;
    CCoord y = 0;

    constexpr CPoint() = default;
    constexpr CPoint(CCoord x_, CCoord y_) : x(x_), y(y_) {}

    CPoint& offset(CCoord dx, CCoord dy) {
        x += dx;
        y += dy;
        return *this;
    }
    constexpr bool operator==(const CPoint& other) const { return x == other.x && y == other.y; }
    constexpr bool operator!=(const CPoint& other) const { return !(*this == other); }
    constexpr CPoint operator+(const CPoint& other) const { return {x + other.x, y + other.y}; }
    constexpr CPoint operator-(const CPoint& other) const { return {x - other.x, y - other.y}; }
};

}  // namespace tvx
