// The editor's right-button menu on a knob or value field and the field
// for typing a value.
#include <algorithm>

#include "editor/editor.h"
#include "editor/editor_host.h"
#include "editor/param_display.h"
#include "editor/param_label.h"
#include "editor/value_text.h"
#include "gui/c_frame.h"
#include "gui/c_option_menu.h"
#include "gui/c_text_edit.h"
#include "persist/config.h"

namespace tvx {

namespace {

enum ValueMenuEntry { kEnterValue = 0, kDefault = 1, kMidiLearn = 2, kForget = 3 };
constexpr int kClearLearnCommand = 1058;
constexpr double kFieldWidth = 96.0;
constexpr double kFieldHeight = 18.0;

}  // namespace

int Editor::controllerOf(int parameter) const {
    Config& config = host_.config();
    for (int cc = 0; cc < 120; ++cc)
        if (config.knobCC[cc] == parameter) return cc;
    return -1;
}

bool Editor::valueMenuRequested(int32_t tag, const CPoint& where) {
    if (!frame || tag < 0 || tag >= ControlRegistry::kKnobParameters || !registry_.knob[tag]) return false;
    COptionMenu menu(CRect(0, 0, 0, 0), nullptr, -1);
    menu.setFont(style_.menu.desc);
    menu.setFontColor(style_.menu.color);
    menu.setBackColor(style_.menu.back);
    menu.addEntry("Enter Value\xE2\x80\xA6");
    menu.addEntry("Default");
    menu.addEntry("MIDI Learn");
    const int controller = controllerOf(tag);
    if (controller >= 0) menu.addEntry("Forget CC " + std::to_string(controller));
    const PopupResult chosen = frame->popupMenu(menu, where);
    if (chosen.menu != &menu) return true;
    switch (chosen.index) {
    case kEnterValue: openValueField(tag); break;
    case kDefault: setByUser(tag, registry_.knob[tag]->getDefaultValue()); break;
    case kMidiLearn:
        touchedTag_ = tag;
        learnOnce_ = tag;
        learnOnceFrom_ = controller;
        break;
    case kForget:
        touchedTag_ = tag;
        host_.config().midiLearnParam = tag;
        host_.setParameterAutomated(kClearLearnCommand, 1.0f);
        break;
    default: break;
    }
    return true;
}

// Exactly as a drag reaches the host: begin, automate, end.
void Editor::setByUser(int parameter, float value) {
    CControl* control = registry_.knob[parameter];
    if (!control) return;
    control->beginEdit();
    control->changeValueByUser(value);
    control->endEdit();
}

CRect Editor::valueFieldRect(int parameter) const {
    const CView* over = registry_.knob[parameter];
    if (parameter < ControlRegistry::kDisplayParameters && registry_.display[parameter])
        over = registry_.display[parameter];
    else if (parameter >= ControlRegistry::kFirstCaption && registry_.caption[parameter - ControlRegistry::kFirstCaption])
        over = registry_.caption[parameter - ControlRegistry::kFirstCaption];
    const CRect target = over->getFrameRect();
    const CCoord width = std::max(target.width(), style_.scaled(kFieldWidth));
    const CCoord height = std::max(target.height(), style_.scaled(kFieldHeight));
    CCoord left = target.left + (target.width() - width) / 2;
    CCoord top = target.top + (target.height() - height) / 2;
    left = std::clamp<CCoord>(left, 0, frame->getWidth() - width);
    top = std::clamp<CCoord>(top, 0, frame->getHeight() - height);
    return CRect(left, top, left + width, top + height);
}

bool Editor::openValueField(int parameter) {
    if (!frame || parameter < 0 || parameter >= ControlRegistry::kKnobParameters || !registry_.knob[parameter])
        return false;
    if (field_ || nativeField_) closeValueField();
    fieldParameter_ = parameter;
    fieldDone_ = false;
    TextEditRequest request;
    request.rect = valueFieldRect(parameter);
    request.text = editorValueText(host_, parameter);
    request.font = style_.display.desc;
    request.fontColor = style_.display.color;
    request.backColor = style_.display.back;
    request.commit = [this](const std::string& text, std::string& error) { return commitTypedValue(text, error); };
    request.cancel = [this] { fieldDone_ = true; };
    PlatformFrame* platform = frame->getPlatformFrame();
    if (platform && platform->openTextEdit(request)) {
        nativeField_ = true;
        return true;
    }
    field_ = new CTextEdit(valueFieldRect(parameter), style_.display.desc, style_.display.color, style_.display.back);
    field_->setText(request.text, true);
    field_->setHandlers(request.commit, request.cancel);
    frame->addView(field_);
    frame->setFocusView(field_);
    frame->setFocusLostHandler([this] { fieldDone_ = true; });
    return true;
}

bool Editor::commitTypedValue(const std::string& text, std::string& error) {
    float value = 0.0f;
    if (!parseParameterValue(fieldParameter_, text, parameterReader(host_), value, error)) return false;
    setByUser(fieldParameter_, value);
    fieldDone_ = true;
    return true;
}

// Runs from idle, never from inside the field's own key handler.
void Editor::closeValueField() {
    fieldDone_ = false;
    if (nativeField_ && frame && frame->getPlatformFrame()) frame->getPlatformFrame()->closeTextEdit();
    nativeField_ = false;
    if (!field_ || !frame) return;
    frame->setFocusView(nullptr);
    frame->setFocusLostHandler(nullptr);
    frame->removeView(field_);
    field_ = nullptr;
    fieldParameter_ = -1;
}

}  // namespace tvx
