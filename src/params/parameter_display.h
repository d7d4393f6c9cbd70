#pragma once

#include <cstddef>

namespace tvx {

// The text shown for the value of parameter `index` (host display and the
// editor's information line). Writes at most `size` bytes including the
// terminating NUL; the decimal point is always ".". An index outside the
// parameter array gives an empty text.
void getParameterDisplay(const float* params, int index, char* text, size_t size);

}  // namespace tvx
