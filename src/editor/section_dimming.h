#pragma once

#include <vector>

namespace tvx {

class CViewContainer;
class DimOverlay;
class EditorHost;
struct EditorStyle;

// Which sections are veiled: each veil with the test of its module's
// parameters that says the module does nothing.
class SectionDimming {
public:
    enum Module {
        kOscillator,  // type "--"
        kFilter,      // type "--"
        kNoise,       // volume 0
        kDrive,       // no shaping at unity gain
        kEqualiser,   // both bands at 0 dB
        kChorus,      // mix 0
        kDelay,       // mix 0
        kReverb,      // mix 0
        kModSlot,     // source or target "--", or amount neutral
    };

    // A veil over `area` (layout coordinates of `container`), added on top
    // of what the container holds so far.
    void add(CViewContainer& container, const EditorStyle& style, Module module, int index, int left, int top,
             int right, int bottom);
    // The veils of the three module rows (main-view coordinates).
    void addModuleRows(CViewContainer& mainView, const EditorStyle& style);
    // The veils of the effect sections of the "MAIN" page.
    void addEffects(CViewContainer& mainPage, const EditorStyle& style);
    // Reads the parameters and veils or unveils; cheap when nothing changed.
    void update(const EditorHost& host);
    void clear() { veils_.clear(); }

    static bool isIdle(const EditorHost& host, Module module, int index);

private:
    struct Veil {
        DimOverlay* overlay;
        Module module;
        int index;
    };
    std::vector<Veil> veils_;
};

}  // namespace tvx
