#include "editor/context_menu.h"

namespace tvx {

ContextMenu::ContextMenu(const CRect& size, CControlListener* listener, int32_t tag)
    : COptionMenu(size, listener, tag) {
    setTransparency(true);
    setStyle(kNoDrawStyle);
}

void ContextMenu::draw(CDrawContext*) {}

CMouseEventResult ContextMenu::onMouseDown(CPoint& where, const CButtonState& buttons) {
    if (!(buttons & kRButton)) return kMouseEventNotHandled;
    popup(localToFrame(where));
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

bool ContextMenu::onWheel(const CPoint&, float, const CButtonState&) { return false; }

}  // namespace tvx
