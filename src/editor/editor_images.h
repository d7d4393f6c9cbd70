#pragma once

#include "gui/c_bitmap.h"

namespace tvx {

class ConfigBase;

// The four images of one opening of the editor, from the current theme or
// built in, scaled for the window size.
struct EditorImages {
    SharedBitmap background, modPage, seqPage, knob, knobBipolar;

    // Decodes them side by side: decoding and scaling the large PNGs is
    // most of the time an opening takes.
    static EditorImages load(const ConfigBase& config, double factor);
};

}  // namespace tvx
