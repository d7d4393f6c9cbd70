#include "editor/editor_images.h"

#include <future>

#include "editor/theme_image.h"

namespace tvx {

EditorImages EditorImages::load(const ConfigBase& config, double factor) {
    auto loadAsync = [&config, factor](const wchar_t* name) {
        return std::async(std::launch::async, [&config, factor, name] { return loadThemeImage(config, name, factor); });
    };
    auto knob = loadAsync(L"Knob");
    auto modPage = loadAsync(L"Background2");
    auto seqPage = loadAsync(L"Background3");
    // A theme that brings its own knob but no bipolar one keeps one look
    // for all knobs.
    const bool ownKnobOnly = themeHasImage(config, L"Knob") && !themeHasImage(config, L"KnobBipolar");
    auto knobBipolar = loadAsync(ownKnobOnly ? L"Knob" : L"KnobBipolar");
    EditorImages images;
    images.background = loadThemeImage(config, L"Background", factor);
    images.knob = knob.get();
    images.modPage = modPage.get();
    images.seqPage = seqPage.get();
    images.knobBipolar = knobBipolar.get();
    return images;
}

}  // namespace tvx
