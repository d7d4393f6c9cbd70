#pragma once

#include <string>

#include "gui/c_bitmap.h"

namespace tvx {

class ConfigBase;

// One of the editor's images ("Background", "Background2", "Background3",
// "Knob", "KnobBipolar"): the theme folder's <name>.png when the themes
// folder exists and holds one, else the built-in image; scaled by half the
// editor scale factor (the images are drawn at 200 %), truncated to whole
// pixels. An image that cannot be decoded gives a bitmap of size 0.
SharedBitmap loadThemeImage(const ConfigBase& config, const std::wstring& name, double scaleFactor);

// Whether the current theme has its own <name>.png.
bool themeHasImage(const ConfigBase& config, const std::wstring& name);

}  // namespace tvx
