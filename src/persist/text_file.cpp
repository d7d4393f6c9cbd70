#include "persist/text_file.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace tvx {

namespace fs = std::filesystem;

namespace {

std::string encodeBytes(const std::wstring& text) {
    std::string bytes;
    bytes.reserve(text.size() + text.size() / 16);
    for (wchar_t c : text) {
        if (c == L'\n') bytes.push_back('\r');
        auto code = static_cast<unsigned long>(c);
        bytes.push_back(code <= 0xFF ? static_cast<char>(code) : '?');
    }
    return bytes;
}

void removeQuietly(const fs::path& path) {
    std::error_code ignored;
    fs::remove(path, ignored);
}

}  // namespace

std::wstring temporaryPathFor(const std::wstring& path) { return path + L".tmp"; }

bool readTextFile(const std::wstring& path, std::wstring& text) {
    try {
        const fs::path file(path);
        std::error_code error;
        if (fs::is_directory(file, error)) return false;
        std::ifstream in(file, std::ios::binary);
        if (!in) return false;
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (in.bad()) return false;
        std::wstring result;
        result.reserve(bytes.size());
        for (size_t i = 0; i < bytes.size(); ++i) {
            if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
            result.push_back(static_cast<wchar_t>(static_cast<unsigned char>(bytes[i])));
        }
        text.swap(result);
        return true;
    } catch (...) {  // a path that cannot be represented, or out of memory
        return false;
    }
}

bool writeTextFile(const std::wstring& path, const std::wstring& text) {
    try {
        const fs::path target(path);
        const fs::path temporary(temporaryPathFor(path));
        std::string bytes = encodeBytes(text);
        {
            std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
            if (!out) return false;
            out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
            out.close();
            if (!out) {
                removeQuietly(temporary);
                return false;
            }
        }
        std::error_code error;
        fs::rename(temporary, target, error);
        if (error) {
            removeQuietly(temporary);
            return false;
        }
        return true;
    } catch (...) {
        return false;
    }
}

}  // namespace tvx
