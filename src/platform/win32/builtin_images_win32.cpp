#include <windows.h>

#include "platform/builtin_images.h"

namespace tvx {

extern "C" IMAGE_DOS_HEADER __ImageBase;

// The resources belong to the DLL (or test program) holding this code, not
// to the host that loaded it.
BuiltinImage builtinImage(const std::wstring& name) {
    const std::wstring resource = builtinImageResourceName(name);
    if (resource.empty()) return {};
    HMODULE module = reinterpret_cast<HMODULE>(&__ImageBase);
    HRSRC found = FindResourceW(module, resource.c_str(), L"DATA");
    if (!found) return {};
    HGLOBAL loaded = LoadResource(module, found);
    DWORD size = SizeofResource(module, found);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes || size == 0) return {};
    return {static_cast<const unsigned char*>(bytes), size};
}

}  // namespace tvx
