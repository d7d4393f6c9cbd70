#pragma once

// Reads PNG files back in tests, through GDI+ on Windows.

#include <cstdint>
#include <string>
#include <vector>

namespace tvx {

struct PngPixels {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> argb;  // rows from the top

    uint32_t at(int x, int y) const { return argb[static_cast<size_t>(y) * width + x] & 0xFFFFFFu; }
};

// False when the file cannot be read or decoded.
bool readPng(const std::string& path, PngPixels& pixels);

}  // namespace tvx
