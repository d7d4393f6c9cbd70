#pragma once

#include <cstddef>
#include <string>

namespace tvx {

// The PNG bytes of one of the plug-in's built-in images, held inside the
// plug-in's own file for its whole life.
struct BuiltinImage {
    const unsigned char* bytes = nullptr;
    std::size_t size = 0;

    bool empty() const { return size == 0; }
};

// "Background", "Background2", "Background3", "Knob" or "KnobBipolar", in any letter case;
// empty for any other name. On Windows the resources of type DATA of the
// module holding this code, elsewhere bytes linked into it.
BuiltinImage builtinImage(const std::wstring& name);

// Upper-case resource name of a built-in image (ASCII letters and digits
// only), or empty when the name cannot be one.
std::wstring builtinImageResourceName(const std::wstring& name);

}  // namespace tvx
