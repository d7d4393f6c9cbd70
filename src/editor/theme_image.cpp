#include "editor/theme_image.h"

#include <filesystem>

#include "persist/config_base.h"
#include "persist/theme.h"
#include "platform/builtin_images.h"
#include "platform/platform.h"

namespace tvx {

namespace {

// The theme's own file, or an empty path when it has none.
std::wstring themeImagePath(const ConfigBase& config, const std::wstring& name) {
    if (!config.themesAvailable) return {};
    std::wstring path = themeFilePath(config, name + L".png");
    if (path.empty() || !platform().pathExists(path) || platform().isDirectory(path)) return {};
    return path;
}

SharedBitmap decodeFile(const std::wstring& path) {
    try {
        return CBitmap::fromPngFile(std::filesystem::path(path));
    } catch (...) {  // a name the file system cannot represent
        return std::make_shared<CBitmap>();
    }
}

SharedBitmap decodeBuiltin(const std::wstring& name) {
    BuiltinImage image = builtinImage(name);
    if (image.empty()) return std::make_shared<CBitmap>();
    return CBitmap::fromPngData(image.bytes, image.size);
}

}  // namespace

SharedBitmap loadThemeImage(const ConfigBase& config, const std::wstring& name, double scaleFactor) {
    // The built-in image is decoded only when the theme does not replace it.
    std::wstring themePath = themeImagePath(config, name);
    SharedBitmap source = themePath.empty() ? decodeBuiltin(name) : decodeFile(themePath);
    if (!source->isLoaded()) return source;
    return source->scaledCopy(scaleFactor * 0.5);
}

bool themeHasImage(const ConfigBase& config, const std::wstring& name) { return !themeImagePath(config, name).empty(); }

}  // namespace tvx
