#pragma once

#include <array>

namespace tvx {

class ControlFactory;
class CView;
class ParamLabel;
class StepColumn;

// The header strip (content coordinates) and the three pages of the page
// switcher (page coordinates, 992 x 144).

struct HeaderViews {
    ParamLabel* presetName = nullptr;
    std::array<CView*, 32> voiceLights{};
};

struct MidiLearnViews {
    ParamLabel* selected = nullptr;
    ParamLabel* assigned = nullptr;
    CView* listen = nullptr;
};

void buildHeader(ControlFactory& factory, HeaderViews& views);
void buildMainPage(ControlFactory& factory, MidiLearnViews& learn);
void buildSeqPage(ControlFactory& factory, std::array<ParamLabel*, 16>& stepLabels,
                  std::array<StepColumn*, 16>& columns);

}  // namespace tvx
