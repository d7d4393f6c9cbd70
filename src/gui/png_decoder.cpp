#include "gui/png_decoder.h"

#include <cstring>
#include <fstream>

#include "gui/gui_limits.h"

namespace tvx {

namespace {

uint32_t readBigEndian32(const uint8_t* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

}  // namespace

bool readPngHeaderSize(const uint8_t* data, size_t size, int64_t& width, int64_t& height) {
    static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    // Signature, chunk length, "IHDR", width, height.
    if (data == nullptr || size < 24) return false;
    if (std::memcmp(data, signature, 8) != 0) return false;
    if (std::memcmp(data + 12, "IHDR", 4) != 0) return false;
    width = readBigEndian32(data + 16);
    height = readBigEndian32(data + 20);
    return true;
}

bool decodePngFile(const std::filesystem::path& path, DecodedImage& out) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    // A PNG larger than the biggest bitmap could ever be compressed into
    // is not worth reading.
    file.seekg(0, std::ios::end);
    const std::streamoff length = file.tellg();
    if (length <= 0 || length > kMaxImagePixels * 4 + (1 << 20)) return false;
    file.seekg(0);
    std::vector<uint8_t> bytes(static_cast<size_t>(length));
    if (!file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(length))) return false;
    return decodePngData(bytes.data(), bytes.size(), out);
}

}  // namespace tvx
