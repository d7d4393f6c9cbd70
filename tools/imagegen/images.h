#pragma once

#include <string>
#include <vector>

#include "canvas.h"

// One generated image: its file name in resources/ and how it is drawn.
struct GeneratedImage {
    std::string fileName;
    Canvas (*render)();
};

// The four built-in images.
const std::vector<GeneratedImage>& builtinImages();
