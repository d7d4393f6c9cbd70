#pragma once

#include "editor/mod_target_menu.h"
#include "editor/param_menu.h"

namespace tvx {

// The selection menus of the list-valued parameters, each with its
// entries (and the short forms the closed menu shows).

#define TVX_SELECTION_MENU(Name)                                                                   \
    class Name : public ParamMenu {                                                                \
    public:                                                                                        \
        Name(const CRect& size, CControlListener* listener, int32_t tag, const StyledFont& font); \
    };

TVX_SELECTION_MENU(OscTypeMenu)
TVX_SELECTION_MENU(NoiseTypeMenu)
TVX_SELECTION_MENU(FltTypeMenu)
TVX_SELECTION_MENU(FltModeMenu)
TVX_SELECTION_MENU(LfoTypeMenu)
TVX_SELECTION_MENU(ModSourceMenu)
TVX_SELECTION_MENU(SeqModeMenu)

#undef TVX_SELECTION_MENU

}  // namespace tvx
