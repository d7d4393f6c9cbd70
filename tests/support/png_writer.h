#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace tvx {

// Writes small PNG files for tests without any image library, so the same
// test runs natively and in the Windows build: 8-bit RGBA, no interlace,
// the image data in stored (uncompressed) deflate blocks.
namespace png_writer {

inline std::uint32_t crc32(const std::string& bytes, size_t from) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = from; i < bytes.size(); ++i) {
        crc ^= static_cast<unsigned char>(bytes[i]);
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

inline void putBigEndian(std::string& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<char>((value >> shift) & 0xFF));
}

inline void putChunk(std::string& out, const char* type, const std::string& data) {
    putBigEndian(out, static_cast<std::uint32_t>(data.size()));
    size_t start = out.size();
    out += type;
    out += data;
    putBigEndian(out, crc32(out, start));
}

inline std::string zlibStored(const std::string& raw) {
    std::string out = "\x78\x01";
    std::uint32_t a = 1, b = 0;
    for (unsigned char c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    size_t position = 0;
    do {
        size_t length = std::min<size_t>(65535, raw.size() - position);
        bool last = position + length == raw.size();
        out.push_back(last ? 1 : 0);
        out.push_back(static_cast<char>(length & 0xFF));
        out.push_back(static_cast<char>(length >> 8));
        out.push_back(static_cast<char>(~length & 0xFF));
        out.push_back(static_cast<char>((~length >> 8) & 0xFF));
        out.append(raw, position, length);
        position += length;
    } while (position < raw.size());
    putBigEndian(out, (b << 16) | a);
    return out;
}

// `pixel(x, y)` gives straight (not premultiplied) 0xRRGGBBAA. The header
// may claim another size than the pixels drawn (width x height).
inline std::string encode(std::uint32_t width, std::uint32_t height,
                          const std::function<std::uint32_t(std::uint32_t, std::uint32_t)>& pixel,
                          std::uint32_t claimedWidth = 0, std::uint32_t claimedHeight = 0) {
    std::string out("\x89PNG\r\n\x1a\n", 8);
    std::string header;
    putBigEndian(header, claimedWidth ? claimedWidth : width);
    putBigEndian(header, claimedHeight ? claimedHeight : height);
    header += std::string("\x08\x06\x00\x00\x00", 5);  // 8 bits, RGBA
    putChunk(out, "IHDR", header);
    std::string raw;
    raw.reserve((width * 4 + 1) * height);
    for (std::uint32_t y = 0; y < height; ++y) {
        raw.push_back(0);  // no filter
        for (std::uint32_t x = 0; x < width; ++x) putBigEndian(raw, pixel(x, y));
    }
    putChunk(out, "IDAT", zlibStored(raw));
    putChunk(out, "IEND", "");
    return out;
}

}  // namespace png_writer

}  // namespace tvx
