#pragma once

#include <array>
#include <string>

namespace tvx {

class CControl;
class ParamDisplay;
class ParamLabel;

// The controls of one opening of the editor, by parameter: the main
// control of 0..212 (a knob), the value display of 0..160, the menu or
// button of 213..259, and the caption of 161..212 with its text.
struct ControlRegistry {
    static constexpr int kKnobParameters = 213;
    static constexpr int kDisplayParameters = 161;
    static constexpr int kFirstCaption = 161;
    static constexpr int kFirstChoice = 213;
    static constexpr int kChoiceParameters = 260 - 213;

    std::array<CControl*, kKnobParameters> knob{};
    std::array<ParamDisplay*, kDisplayParameters> display{};
    std::array<CControl*, kChoiceParameters> choice{};
    std::array<ParamLabel*, kKnobParameters - kFirstCaption> caption{};
    std::array<std::string, kKnobParameters - kFirstCaption> captionText{};

    void clear() { *this = ControlRegistry(); }
    // The control a parameter is changed with (knob, menu or button), or null.
    CControl* controlOf(int parameter) const;
};

}  // namespace tvx
