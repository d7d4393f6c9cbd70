// imagegen: draws the plug-in's built-in images, or the images of one of
// our own themes, into a folder.
//   imagegen <output folder>                  background*.png, knob*.png
//   imagegen --theme <name> <output folder>   that theme's images
#include <cstdio>
#include <cstring>
#include <string>

#include "images.h"

namespace tvx {

namespace {

int usage(FILE* out, int status) {
    std::fprintf(out,
                 "usage: imagegen <output folder>\n"
                 "       imagegen --theme <name> <output folder>\n"
                 "Draws background.png, background2.png, background3.png, knob.png and knob_bipolar.png\n(committed in "
                 "resources/), or the images of one of our themes (committed in themes/<name>/).\n"
                 "Themes with images:");
    for (const std::string& name : themesWithImages()) std::fprintf(out, " %s", name.c_str());
    std::fprintf(out, "\n");
    return status;
}

int writeAll(const std::vector<GeneratedImage>& images, const std::string& folder) {
    for (const GeneratedImage& image : images) {
        const std::string path = folder + "/" + image.fileName;
        if (!image.render().writePng(path)) {
            std::fprintf(stderr, "imagegen: cannot write %s\n", path.c_str());
            return 1;
        }
        std::printf("%s\n", path.c_str());
    }
    return 0;
}

}  // namespace

}  // namespace tvx

int main(int argc, char** argv) {
    using namespace tvx;
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) return usage(stdout, 0);
    if (argc == 2) return writeAll(builtinImages(), argv[1]);
    if (argc == 4 && std::strcmp(argv[1], "--theme") == 0) {
        const std::vector<GeneratedImage>& images = themeImages(argv[2]);
        if (images.empty()) {
            std::fprintf(stderr, "imagegen: no images for a theme named \"%s\"\n", argv[2]);
            return usage(stderr, 2);
        }
        return writeAll(images, argv[3]);
    }
    return usage(stderr, 2);
}
