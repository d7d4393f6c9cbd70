#pragma once

#include <string>
#include <vector>

#include "canvas.h"

namespace tvx {

// One generated image: its file name in resources/ and how it is drawn.
struct GeneratedImage {
    std::string fileName;
    Canvas (*render)();
};

// The four built-in images (resources/).
const std::vector<GeneratedImage>& builtinImages();
// The images our own themes bring (themes/<name>/), by theme name.
const std::vector<GeneratedImage>& themeImages(const std::string& theme);
const std::vector<std::string>& themesWithImages();

}  // namespace tvx
