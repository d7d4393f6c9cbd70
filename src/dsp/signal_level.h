#pragma once

#include <cmath>
#include <cstddef>

namespace tvx {

// Whether every value lies strictly inside ±level (NaN never does).
inline bool allBelow(const float* values, std::size_t count, float level) {
    for (std::size_t i = 0; i < count; ++i)
        if (!(std::fabs(values[i]) < level)) return false;
    return true;
}

}  // namespace tvx
