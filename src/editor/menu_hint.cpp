#include "editor/menu_hint.h"

#include <algorithm>

#include "editor/context_menu.h"
#include "editor/editor_style.h"
#include "editor/main_menu.h"
#include "editor/module_menus.h"
#include "editor/param_label.h"
#include "gui/c_frame.h"

namespace tvx {

namespace {

std::string hintOf(const ContextMenu& menu) {
    if (dynamic_cast<const MainMenu*>(&menu)) return "Right-click: presets, banks, size, themes";
    if (dynamic_cast<const EqualiserMenu*>(&menu)) return "Right-click: EQ shelf switches";
    if (dynamic_cast<const SequencerMenu*>(&menu)) return "Right-click: save, load, init sequence";
    return "Right-click: copy, paste, reset\xE2\x80\xA6";
}

// The topmost shown context menu under `where`; searched from the top.
const ContextMenu* menuAt(const CViewContainer& container, const CPoint& where) {
    const auto& children = container.children();
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        const CView* view = it->get();
        if (!view->isVisible()) continue;
        if (view->isContainer()) {
            if (const ContextMenu* inner = menuAt(static_cast<const CViewContainer&>(*view), where)) return inner;
        } else if (const auto* menu = dynamic_cast<const ContextMenu*>(view)) {
            if (menu->getFrameRect().pointInside(where)) return menu;
        }
    }
    return nullptr;
}

}  // namespace

void MenuHint::build(CViewContainer& header, const EditorStyle& style) {
    // Plainer and a little smaller than the captions: a hint, not a name.
    StyledFont font = style.label;
    font.desc.style = kNormalFace;
    font.desc.size = std::max(8, font.desc.size * 9 / 10);
    label_ = new ParamLabel(style.textRect(180, 12, 390, 36), "", font, kLeftText);
    label_->setMouseEnabled(false);
    header.addView(label_);
    // Counted from a number the frame cannot have yet, so the first idle
    // reads where the pointer is.
    seenMoves_ = ~0u;
}

void MenuHint::forget() { label_ = nullptr; }

std::string MenuHint::hintAt(const CViewContainer& root, const CPoint& where) {
    const ContextMenu* menu = menuAt(root, where);
    return menu ? hintOf(*menu) : std::string();
}

void MenuHint::update(const CFrame& frame) {
    if (!label_ || frame.pointerMoves() == seenMoves_) return;
    seenMoves_ = frame.pointerMoves();
    label_->setText(frame.isPointerInside() ? hintAt(frame, frame.pointerPosition()) : std::string());
}

}  // namespace tvx
