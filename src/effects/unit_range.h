#pragma once

#include <cmath>

namespace tvx {

// Parameter values come from hosts, chunks and files and may be anything.
// These helpers keep them inside the range the effect formulas were made for.

// 0..1; NaN becomes 0, so a broken value silences rather than maxes out.
inline float clampUnit(float v) {
    if (!(v >= 0.0f)) return 0.0f;
    return v > 1.0f ? 1.0f : v;
}

inline bool isFinitePair(float l, float r) { return std::isfinite(l) && std::isfinite(r); }

}  // namespace tvx
