#pragma once

#include <cstdint>
#include <string>

namespace tvx {

// Style flags, combinable; the values are the ones theme files store.
enum CTxtFace : int32_t {
    kNormalFace = 0,
    kBoldFace = 1,
    kItalicFace = 2,
    kUnderlineFace = 4,
};

struct CFontDesc {
    std::string name = "Arial";
    int32_t size = 12;  // pixel height of the em box
    int32_t style = kNormalFace;

    CFontDesc() = default;
    CFontDesc(std::string fontName, int32_t pixelSize, int32_t styleFlags = kNormalFace)
        : name(std::move(fontName)), size(pixelSize), style(styleFlags) {}

    bool isBold() const { return (style & kBoldFace) != 0; }
    bool isItalic() const { return (style & kItalicFace) != 0; }
    bool isUnderlined() const { return (style & kUnderlineFace) != 0; }

    bool operator==(const CFontDesc& o) const { return name == o.name && size == o.size && style == o.style; }
    bool operator!=(const CFontDesc& o) const { return !(*this == o); }
};

}  // namespace tvx
