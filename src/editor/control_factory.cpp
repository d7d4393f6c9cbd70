#include "editor/control_factory.h"

#include "editor/editor_base.h"
#include "editor/editor_host.h"
#include "editor/param_display.h"
#include "editor/param_knob.h"
#include "editor/param_label.h"
#include "editor/text_button.h"
#include "gui/c_view_container.h"
#include "params/parameter_table.h"
#include "params/value_formatters.h"

namespace tvx {

namespace {
constexpr int kKnob = 48;
constexpr int kLine = 16;
}  // namespace

ControlFactory::ControlFactory(EditorBase& editor, const EditorStyle& style, ControlRegistry& registry,
                               CViewContainer& container)
    : editor_(editor), style_(style), registry_(registry), container_(container) {}

void ControlFactory::setDefault(CControl* control, int parameter) {
    control->setDefaultValue(parameterDefault(parameter));
    control->setValue(editor_.host().parameterValue(parameter));
}

CControl* ControlFactory::knobAt(int parameter, int x, int y) {
    auto* knob = new ParamKnob(style_.rect(x, y, x + kKnob, y + kKnob), &editor_, parameter,
                               isBipolarParameter(parameter) ? style_.knobBipolar : style_.knob);
    setDefault(knob, parameter);
    container_.addView(knob);
    registry_.knob[parameter] = knob;
    return knob;
}

ParamDisplay* ControlFactory::display(int parameter, const CRect& size) {
    auto* shown = new ParamDisplay(size, editor_.host(), parameter, style_.display);
    shown->setMenuOwner(&editor_);
    shown->setValue(editor_.host().parameterValue(parameter));
    container_.addView(shown);
    registry_.display[parameter] = shown;
    return shown;
}

ParamDisplay* ControlFactory::valueDisplay(int parameter, int left, int top, int right, int bottom) {
    return display(parameter, style_.textRect(left, top, right, bottom));
}

CControl* ControlFactory::knobWithDisplay(int parameter, int x, int y) {
    CControl* knob = knobAt(parameter, x, y);
    display(parameter, style_.textRect(x, y + kKnob, x + kKnob, y + kKnob + kLine));
    return knob;
}

CControl* ControlFactory::knobWithCaption(int parameter, int x, int y, const std::string& caption,
                                          int captionMargin) {
    CControl* knob = knobAt(parameter, x, y);
    ParamLabel* text =
        label(caption, x - captionMargin, y + kKnob, x + kKnob + captionMargin, y + kKnob + kLine);
    registry_.caption[parameter - ControlRegistry::kFirstCaption] = text;
    registry_.captionText[parameter - ControlRegistry::kFirstCaption] = caption;
    return knob;
}

CControl* ControlFactory::valueField(int parameter, int left, int top, int right, int bottom) {
    return valueField(parameter, display(parameter, style_.textRect(left, top, right, bottom)));
}

CControl* ControlFactory::valueField(int parameter, ParamDisplay* shown) {
    const CRect field = shown->getViewSize();
    if (registry_.display[parameter] != shown) {
        shown->setValue(editor_.host().parameterValue(parameter));
        container_.addView(shown);
        registry_.display[parameter] = shown;
    }
    auto* drag = new ParamKnob(field, &editor_, parameter, nullptr);
    setDefault(drag, parameter);
    container_.addView(drag);
    registry_.knob[parameter] = drag;
    return drag;
}

CControl* ControlFactory::labelledField(int parameter, int x, int y, const std::string& name, int width) {
    label(name, x - 4, y, x + width + 4, y + kLine);
    return valueField(parameter, x, y + kLine, x + width, y + 2 * kLine);
}

ParamLabel* ControlFactory::label(const std::string& text, int left, int top, int right, int bottom,
                                  CHoriTxtAlign align) {
    auto* shown = new ParamLabel(style_.textRect(left, top, right, bottom), text, style_.label, align);
    container_.addView(shown);
    return shown;
}

ParamLabel* ControlFactory::title(const std::string& text, int left, int top, int right, int bottom) {
    auto* shown = new ParamLabel(style_.textRect(left, top, right, bottom), text, style_.title, kLeftText);
    container_.addView(shown);
    return shown;
}

CControl* ControlFactory::addChoice(int parameter, CControl* control) {
    control->setValue(editor_.host().parameterValue(parameter));
    container_.addView(control);
    registry_.choice[parameter - ControlRegistry::kFirstChoice] = control;
    return control;
}

CControl* ControlFactory::textButton(int parameter, int left, int top, int right, int bottom,
                                     const std::string& offText, const std::string& onText) {
    return addChoice(parameter, new TextButton(style_.textRect(left, top, right, bottom), &editor_, parameter,
                                               offText, onText, style_.menu));
}

}  // namespace tvx
