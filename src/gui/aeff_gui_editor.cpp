#include "gui/aeff_gui_editor.h"

namespace tvx {

AEffGUIEditor::AEffGUIEditor(void* effect) : effect_(effect) {}

AEffGUIEditor::~AEffGUIEditor() {
    frame.reset();
}

bool AEffGUIEditor::getRect(GuiEditorRect** result) {
    if (result == nullptr) return false;
    *result = &rect;
    return true;
}

bool AEffGUIEditor::open(void* parentWindow) {
    systemWindow_ = parentWindow;
    return true;
}

void AEffGUIEditor::close() {
    frame.reset();
    systemWindow_ = nullptr;
}

void AEffGUIEditor::idle() {
    if (frame) frame->idle();
}

void AEffGUIEditor::setParameter(int32_t /*index*/, float /*value*/) {}

bool AEffGUIEditor::onKeyDown(const CKeyEvent& key) {
    return frame ? frame->platformOnKeyDown(key) : false;
}

bool AEffGUIEditor::onKeyUp(const CKeyEvent& key) {
    return frame ? frame->platformOnKeyUp(key) : false;
}

}  // namespace tvx
