#pragma once

#include "gui/c_bitmap.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <unistd.h>

namespace tvx {

// Premultiplied 0xAARRGGBB from straight channels.
inline uint32_t premultiplied(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    auto mul = [a](uint8_t c) { return uint32_t((c * a + 127) / 255); };
    return (uint32_t(a) << 24) | (mul(r) << 16) | (mul(g) << 8) | mul(b);
}

inline uint8_t alphaOf(uint32_t p) { return uint8_t(p >> 24); }
inline uint8_t redOf(uint32_t p) { return uint8_t(p >> 16); }
inline uint8_t greenOf(uint32_t p) { return uint8_t(p >> 8); }
inline uint8_t blueOf(uint32_t p) { return uint8_t(p); }

inline std::vector<uint8_t> readFileBytes(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// A folder of its own under the system temp folder, removed at the end.
class GuiTempFolder {
public:
    GuiTempFolder() {
        path_ = std::filesystem::temp_directory_path() / ("tvx-gui-" + std::to_string(::getpid()) + "-" +
                                                          std::to_string(counter()++));
        std::filesystem::create_directories(path_);
    }
    ~GuiTempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path file(const std::string& name) const { return path_ / name; }

private:
    static int& counter() {
        static int value = 0;
        return value;
    }
    std::filesystem::path path_;
};

// Where tests leave the screenshots a person looks at.
inline std::filesystem::path screenshotFolder() {
    auto folder = std::filesystem::temp_directory_path() / "tvx-gui-screenshots";
    std::filesystem::create_directories(folder);
    return folder;
}

}  // namespace tvx
