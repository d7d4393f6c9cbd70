#include "images.h"

#include "knob_image.h"
#include "main_background.h"
#include "page_backgrounds.h"

namespace {

Canvas renderBuiltinKnob() { return renderKnob(builtinKnobStyle()); }

}  // namespace

const std::vector<GeneratedImage>& builtinImages() {
    static const std::vector<GeneratedImage> images = {
        {"background.png", renderMainBackground},
        {"background2.png", renderModPage},
        {"background3.png", renderSeqPage},
        {"knob.png", renderBuiltinKnob},
    };
    return images;
}
