#include "editor/control_registry.h"

namespace tvx {

CControl* ControlRegistry::controlOf(int parameter) const {
    if (parameter >= 0 && parameter < kKnobParameters) return knob[parameter];
    if (parameter >= kFirstChoice && parameter < kFirstChoice + kChoiceParameters)
        return choice[parameter - kFirstChoice];
    return nullptr;
}

}  // namespace tvx
