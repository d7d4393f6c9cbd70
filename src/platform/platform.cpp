#include "platform/platform.h"

namespace tvx {

namespace {

Platform* substitutePlatform = nullptr;

wchar_t lowerAscii(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

}  // namespace

// Defined by the system's implementation (posix/ or win32/).
Platform& nativePlatform();

Platform& platform() { return substitutePlatform ? *substitutePlatform : nativePlatform(); }

void setPlatformForTesting(Platform* substitute) { substitutePlatform = substitute; }

std::wstring joinPath(const std::wstring& folder, const std::wstring& name) {
    return folder + path_separator + name;
}

bool matchesPattern(const std::wstring& name, const std::wstring& pattern) {
    if (pattern.empty() || pattern == L"*" || pattern == L"*.*") return true;
    if (pattern[0] != L'*') return name == pattern;
    std::wstring suffix = pattern.substr(1);
    if (name.size() < suffix.size()) return false;
    size_t offset = name.size() - suffix.size();
    for (size_t i = 0; i < suffix.size(); ++i)
        if (lowerAscii(name[offset + i]) != lowerAscii(suffix[i])) return false;
    return true;
}

}  // namespace tvx
