// imagegen: draws the plug-in's built-in images into a folder.
//   imagegen <output folder>
#include <cstdio>
#include <cstring>
#include <string>

#include "images.h"

int main(int argc, char** argv) {
    if (argc != 2 || std::strcmp(argv[1], "--help") == 0) {
        std::fprintf(argc == 2 ? stdout : stderr,
                     "usage: imagegen <output folder>\n"
                     "Draws background.png, background2.png, background3.png and knob.png into the folder\n"
                     "(the committed copies live in resources/).\n");
        return argc == 2 ? 0 : 2;
    }
    const std::string folder = argv[1];
    for (const GeneratedImage& image : builtinImages()) {
        const std::string path = folder + "/" + image.fileName;
        if (!image.render().writePng(path)) {
            std::fprintf(stderr, "imagegen: cannot write %s\n", path.c_str());
            return 1;
        }
        std::printf("%s\n", path.c_str());
    }
    return 0;
}
