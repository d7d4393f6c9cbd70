#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <vector>

namespace tvx {

// The backend's PNG decoder (cairo on Linux, GDI+ on Windows). Each
// implementation fills premultiplied 0xAARRGGBB pixels and returns false
// for anything it cannot decode or whose size CBitmap refuses.
struct DecodedImage {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;
};

bool decodePngData(const uint8_t* data, size_t size, DecodedImage& out);
bool decodePngFile(const std::filesystem::path& path, DecodedImage& out);

// Reads the width and height from the IHDR chunk, so that a decoder can
// refuse an absurd size before it allocates anything.
bool readPngHeaderSize(const uint8_t* data, size_t size, int64_t& width, int64_t& height);

}  // namespace tvx
