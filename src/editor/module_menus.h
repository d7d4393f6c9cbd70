#pragma once

#include "editor/context_menu.h"

namespace tvx {

// The context menus of the module sections, with their entries; the tag
// says which module (the plug-in's command for it).

#define TVX_MODULE_MENU(Name)                                             \
    class Name : public ContextMenu {                                     \
    public:                                                               \
        Name(const CRect& size, CControlListener* listener, int32_t tag); \
    };

TVX_MODULE_MENU(OscillatorMenu)
TVX_MODULE_MENU(FilterMenu)
TVX_MODULE_MENU(EnvMenu)
TVX_MODULE_MENU(LfoMenu)
TVX_MODULE_MENU(EqualiserMenu)
TVX_MODULE_MENU(SequencerMenu)

#undef TVX_MODULE_MENU

}  // namespace tvx
