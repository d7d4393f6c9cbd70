#include "editor/value_readout.h"

#include <algorithm>

#include "editor/control_registry.h"
#include "editor/editor_host.h"
#include "editor/editor_style.h"
#include "editor/param_display.h"
#include "editor/param_label.h"
#include "editor/text_conversion.h"
#include "editor/value_text.h"
#include "gui/c_frame.h"
#include "params/parameter_table.h"

namespace tvx {

namespace {

constexpr double kLabelWidth = 150.0;
constexpr double kLabelHeight = 16.0;

bool hasCaption(int parameter) {
    return parameter >= ControlRegistry::kFirstCaption && parameter < ControlRegistry::kKnobParameters;
}

// The parameter of the knob or value display under `where`, or -1.
int parameterAt(CFrame& frame, const ControlRegistry& registry, const CPoint& where) {
    if (auto* control = dynamic_cast<CControl*>(frame.getViewAt(where, true))) {
        const int tag = control->getTag();
        if (tag >= 0 && tag < ControlRegistry::kKnobParameters && registry.knob[tag] == control) return tag;
    }
    for (int i = 0; i < ControlRegistry::kDisplayParameters; ++i) {
        const ParamDisplay* display = registry.display[i];
        if (display && display->isVisible() && display->getFrameRect().pointInside(where)) return i;
    }
    return -1;
}

std::string nameOf(int parameter) {
    const wchar_t* name = parameterName(parameter);
    return name ? toUtf8(name) : std::string();
}

}  // namespace

void ValueReadout::build(CFrame& frame, const EditorStyle& style) {
    factor_ = style.factor;
    label_ = new ParamLabel(style.textRect(0, 0, kLabelWidth, kLabelHeight), "", style.display, kCenterText, true);
    label_->setVisible(false);
    frame.addView(label_);
    seenMoves_ = frame.pointerMoves();
    restingOn_ = shown_ = -1;
    byWheel_ = false;
}

void ValueReadout::clear() {
    label_ = nullptr;
    restingOn_ = shown_ = -1;
    byWheel_ = false;
}

void ValueReadout::wheelTurned(int parameter) {
    if (parameter < 0 || parameter >= ControlRegistry::kKnobParameters) return;
    byWheel_ = true;
    wheelUntil_ = Clock::now() + kWheelHold;
    restingOn_ = parameter;
    if (shown_ != parameter) hide();
    shown_ = parameter;
    shownValue_ = -1.0f;  // the label follows at the next idle
}

int ValueReadout::captionParameter() const { return hasCaption(shown_) ? shown_ : -1; }

void ValueReadout::idle(CFrame& frame, const ControlRegistry& registry, const EditorHost& host) {
    if (frame.pointerMoves() != seenMoves_) {
        seenMoves_ = frame.pointerMoves();
        const int under = frame.isPointerInside() && !frame.isMouseCaptured()
                              ? parameterAt(frame, registry, frame.pointerPosition())
                              : -1;
        if (under != restingOn_) {
            restingOn_ = under;
            restingSince_ = Clock::now();
            if (shown_ >= 0 && shown_ != under) hide();
        }
    }
    if (shown_ < 0 && restingOn_ >= 0 && !frame.isMouseCaptured() && Clock::now() - restingSince_ >= kRestDelay)
        show(restingOn_, frame, registry, host);
    if (shown_ < 0) return;
    if (byWheel_ && Clock::now() >= wheelUntil_ && restingOn_ != shown_) {
        hide();
        return;
    }
    if (label_ && !label_->isVisible() && !hasCaption(shown_)) show(shown_, frame, registry, host);
    refreshLabel(host);
}

void ValueReadout::show(int parameter, CFrame& frame, const ControlRegistry& registry, const EditorHost& host) {
    shown_ = parameter;
    shownValue_ = -1.0f;
    if (!label_ || hasCaption(parameter)) return;
    const CView* control = registry.knob[parameter];
    if (parameter < ControlRegistry::kDisplayParameters && registry.display[parameter])
        control = registry.display[parameter];
    if (!control) return;
    const CRect beside = control->getFrameRect();
    const CCoord width = label_->getWidth();
    const CCoord height = label_->getHeight();
    const CCoord gap = static_cast<CCoord>(4.0 * factor_);
    CCoord left = beside.right + gap;
    if (left + width > frame.getWidth()) left = std::max<CCoord>(0, beside.left - gap - width);
    const CCoord top = std::clamp<CCoord>(beside.top + (beside.height() - height) / 2, 0, frame.getHeight() - height);
    label_->setViewSize(CRect(left, top, left + width, top + height));
    label_->setMouseableArea(CRect());
    label_->setVisible(true);
    refreshLabel(host);
}

void ValueReadout::hide() {
    shown_ = -1;
    byWheel_ = false;
    if (label_ && label_->isVisible()) label_->setVisible(false);
}

void ValueReadout::refreshLabel(const EditorHost& host) {
    if (!label_ || !label_->isVisible() || shown_ < 0) return;
    const float value = host.parameterValue(shown_);
    if (value == shownValue_) return;
    shownValue_ = value;
    label_->setText(nameOf(shown_) + "  " + editorValueText(host, shown_));
}

}  // namespace tvx
