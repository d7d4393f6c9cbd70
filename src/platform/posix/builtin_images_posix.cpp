#include "platform/builtin_images.h"

namespace tvx {

// The PNG files are assembled into this object as read-only data, the
// counterpart of the DLL's resources. TVX_RESOURCES_DIR comes from the build.
#define TVX_EMBED(symbol, file)                                  \
    asm(".section .rodata\n"                                     \
        ".global " #symbol "\n"                                  \
        ".hidden " #symbol "\n"                                  \
        ".global " #symbol "_end\n"                              \
        ".hidden " #symbol "_end\n"                              \
        ".balign 16\n" #symbol ":\n"                             \
        ".incbin \"" TVX_RESOURCES_DIR "/" file "\"\n" #symbol   \
        "_end:\n"                                                \
        ".previous\n");                                          \
    extern "C" const unsigned char symbol[];                     \
    extern "C" const unsigned char symbol##_end[];

TVX_EMBED(tvx_image_background, "background.png")
TVX_EMBED(tvx_image_background2, "background2.png")
TVX_EMBED(tvx_image_background3, "background3.png")
TVX_EMBED(tvx_image_knob, "knob.png")
TVX_EMBED(tvx_image_knob_bipolar, "knob_bipolar.png")

namespace {

struct EmbeddedImage {
    const wchar_t* resourceName;
    const unsigned char* begin;
    const unsigned char* end;
};

const EmbeddedImage kImages[] = {
    {L"BACKGROUND", tvx_image_background, tvx_image_background_end},
    {L"BACKGROUND2", tvx_image_background2, tvx_image_background2_end},
    {L"BACKGROUND3", tvx_image_background3, tvx_image_background3_end},
    {L"KNOB", tvx_image_knob, tvx_image_knob_end},
    {L"KNOBBIPOLAR", tvx_image_knob_bipolar, tvx_image_knob_bipolar_end},
};

}  // namespace

BuiltinImage builtinImage(const std::wstring& name) {
    const std::wstring resource = builtinImageResourceName(name);
    for (const EmbeddedImage& image : kImages)
        if (resource == image.resourceName)
            return {image.begin, static_cast<std::size_t>(image.end - image.begin)};
    return {};
}

}  // namespace tvx
