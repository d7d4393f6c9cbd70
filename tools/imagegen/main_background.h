#pragma once

#include "canvas.h"

namespace tvx {

// The editor frame's background, 2112 x 1248 (1056 x 624 at 100 %): header
// strip, the three module rows with their sections and the page area.
Canvas renderMainBackground();

}  // namespace tvx
