#include "platform/builtin_images.h"

namespace tvx {

std::wstring builtinImageResourceName(const std::wstring& name) {
    // Resource names are short; anything else (a path, a '#' that Windows
    // would read as a number) is not one of ours.
    if (name.empty() || name.size() > 32) return {};
    std::wstring upper;
    for (wchar_t c : name) {
        if (c >= L'a' && c <= L'z')
            upper.push_back(static_cast<wchar_t>(c - L'a' + L'A'));
        else if ((c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9'))
            upper.push_back(c);
        else
            return {};
    }
    return upper;
}

}  // namespace tvx
