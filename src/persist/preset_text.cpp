#include "persist/preset_text.h"

#include <cstdint>
#include <cwchar>
#include <unordered_map>

#include "params/parameter_table.h"

namespace tvx {

namespace {

constexpr size_t kLongestKey = 32;

// Built once; a hash look-up keeps parsing linear even for texts with
// millions of lines.
const std::unordered_map<std::wstring, int>& keyIndex() {
    static const std::unordered_map<std::wstring, int> index = [] {
        std::unordered_map<std::wstring, int> keys;
        for (int id = 0; id < kNumParameters; ++id) keys.emplace(parameterKey(id), id);
        return keys;
    }();
    return index;
}

void appendAscii(std::wstring& text, const std::string& ascii) {
    for (char c : ascii) text.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
}

void appendUnit(std::vector<unsigned char>& bytes, std::uint32_t unit) {
    bytes.push_back(static_cast<unsigned char>(unit & 0xFF));
    bytes.push_back(static_cast<unsigned char>((unit >> 8) & 0xFF));
}

}  // namespace

int findParameterKey(const wchar_t* key, size_t length) {
    if (length == 0 || length > kLongestKey) return -1;
    auto found = keyIndex().find(std::wstring(key, length));
    return found == keyIndex().end() ? -1 : found->second;
}

bool isPresetNameKey(const wchar_t* key, size_t length) {
    return std::wcslen(kPresetNameKey) == length && std::wmemcmp(kPresetNameKey, key, length) == 0;
}

std::wstring buildPresetText(const float* params, const std::wstring& presetName) {
    std::wstring text;
    text.reserve(kNumParameters * 24 + presetName.size() + 16);
    for (int id = 0; id < kNumParameters; ++id) {
        text += parameterKey(id);
        text += L'=';
        appendAscii(text, formatFixed(static_cast<double>(params[id]), 6));
        text += L'\n';
    }
    text += kPresetNameKey;
    text += L'=';
    text += presetName;
    text += L'\n';
    return text;
}

void parsePresetText(const wchar_t* text, size_t length, const float* defaults, float* params,
                     std::wstring& presetName) {
    for (int id = 0; id < kNumParameters; ++id) params[id] = defaults[id];
    presetName.clear();
    forEachPresetLine(
        text, length, [params](int id, float value) { params[id] = value; },
        [&presetName](const wchar_t* begin, const wchar_t* end) { presetName.assign(begin, end); });
}

std::vector<unsigned char> wideToUtf16Le(const std::wstring& text) {
    std::vector<unsigned char> bytes;
    bytes.reserve(text.size() * 2);
    for (wchar_t c : text) {
        auto code = static_cast<std::uint32_t>(c);
        if (sizeof(wchar_t) == 2 || code <= 0xFFFF) {
            appendUnit(bytes, code & 0xFFFF);  // a lone surrogate travels unchanged
        } else if (code <= 0x10FFFF) {
            code -= 0x10000;
            appendUnit(bytes, 0xD800 + (code >> 10));
            appendUnit(bytes, 0xDC00 + (code & 0x3FF));
        } else {
            appendUnit(bytes, 0xFFFD);
        }
    }
    return bytes;
}

std::wstring utf16LeToWide(const void* data, size_t byteSize) {
    std::wstring text;
    if (!data) return text;
    const auto* bytes = static_cast<const unsigned char*>(data);
    size_t count = byteSize / 2;
    text.reserve(count);
    auto unitAt = [bytes](size_t i) { return static_cast<std::uint32_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8)); };
    for (size_t i = 0; i < count; ++i) {
        std::uint32_t unit = unitAt(i);
        if (sizeof(wchar_t) > 2 && unit >= 0xD800 && unit <= 0xDBFF && i + 1 < count) {
            std::uint32_t low = unitAt(i + 1);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                text.push_back(static_cast<wchar_t>(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00)));
                ++i;
                continue;
            }
        }
        text.push_back(static_cast<wchar_t>(unit));
    }
    return text;
}

}  // namespace tvx
