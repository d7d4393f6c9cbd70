#include "images.h"

#include "knob_image.h"
#include "main_background.h"
#include "page_backgrounds.h"

namespace tvx {

namespace {

Canvas renderBuiltinKnob() { return renderKnob(builtinKnobStyle()); }
Canvas renderHighContrastKnob() { return renderKnob(highContrastKnobStyle()); }
Canvas renderBuiltinBipolarKnob() { return renderKnob(builtinKnobStyle(), true); }
Canvas renderHighContrastBipolarKnob() { return renderKnob(highContrastKnobStyle(), true); }

}  // namespace

const std::vector<GeneratedImage>& builtinImages() {
    static const std::vector<GeneratedImage> images = {
        {"background.png", renderMainBackground},
        {"background2.png", renderModPage},
        {"background3.png", renderSeqPage},
        {"knob.png", renderBuiltinKnob},
        {"knob_bipolar.png", renderBuiltinBipolarKnob},
    };
    return images;
}

const std::vector<std::string>& themesWithImages() {
    static const std::vector<std::string> names = {"HighContrast"};
    return names;
}

const std::vector<GeneratedImage>& themeImages(const std::string& theme) {
    static const std::vector<GeneratedImage> none;
    static const std::vector<GeneratedImage> highContrast = {{"Knob.png", renderHighContrastKnob},
                                                                  {"KnobBipolar.png", renderHighContrastBipolarKnob}};
    return theme == "HighContrast" ? highContrast : none;
}

}  // namespace tvx
