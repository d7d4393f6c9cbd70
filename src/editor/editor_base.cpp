#include "editor/editor_base.h"

#include "editor/editor_host.h"
#include "editor/preset_menu.h"
#include "gui/c_control.h"

namespace tvx {

namespace {

// Only parameter gestures are automation a host can record.
bool isParameterTag(int32_t tag) { return tag >= 0 && tag < 262; }

}  // namespace

EditorBase::EditorBase(EditorHost& host) : AEffGUIEditor(&host), host_(host) {}

void EditorBase::beginTouch(int32_t tag) {
    touchedTag_ = tag;
    touching_ = true;
}

void EditorBase::endTouch() { touching_ = false; }

void EditorBase::valueChanged(CControl* control) {
    float value = control->getValue();
    if (auto* presets = dynamic_cast<PresetMenu*>(control)) value = presets->fileIndexOfCurrent();
    host_.setParameterAutomated(control->getTag(), value);
    control->setDirty();
}

void EditorBase::controlBeginEdit(CControl* control) {
    if (isParameterTag(control->getTag())) host_.beginEdit(control->getTag());
}

void EditorBase::controlEndEdit(CControl* control) {
    if (isParameterTag(control->getTag())) host_.endEdit(control->getTag());
}

}  // namespace tvx
