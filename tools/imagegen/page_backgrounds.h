#pragma once

#include "canvas.h"

namespace tvx {

// The "MOD" and "SEQ" page backgrounds, 1984 x 288 each (992 x 144 at
// 100 %). Both are translucent: they shade whatever backgroundColor the
// theme sets, and leave the title bar row (y 0..20) clear for the main view.
Canvas renderModPage();
Canvas renderSeqPage();

}  // namespace tvx
