#pragma once

#include "gui/c_option_menu.h"

namespace tvx {

// A menu that lies invisibly over an area and opens on the right mouse
// button only; any other press goes to the views below it.
class ContextMenu : public COptionMenu {
public:
    ContextMenu(const CRect& size, CControlListener* listener, int32_t tag);

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    bool onWheel(const CPoint& where, float distance, const CButtonState& buttons) override;
};

}  // namespace tvx
