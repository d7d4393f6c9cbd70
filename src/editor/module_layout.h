#pragma once

#include <array>
#include <vector>

namespace tvx {

class CView;
class ControlFactory;
class ParamLabel;

// The views of an oscillator section that depend on its type: "Wave" and
// "Pulse" show position and unison, "FM" its two modulators instead.
struct OscillatorViews {
    std::vector<CView*> waveSet;
    std::vector<CView*> fmSet;
    ParamLabel* positionLabel = nullptr;
    int shown = -1;  // 0 wave set, 1 FM set, -1 not decided yet

    // Shows one set and hides the other; true when that changed anything.
    bool show(bool fm);
};

// The three module rows of the main view (oscillators, filters and noise,
// envelopes, LFOs) with their titles and context menus, in main-view
// coordinates.
void buildModuleRows(ControlFactory& factory, std::array<OscillatorViews, 3>& oscillators);

}  // namespace tvx
