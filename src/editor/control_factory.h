#pragma once

#include <string>

#include "editor/control_registry.h"
#include "editor/editor_style.h"
#include "gui/c_draw_context.h"

namespace tvx {

class CViewContainer;
class CControl;
class EditorBase;
class ParamDisplay;
class ParamLabel;

// Makes the controls of a section in one container, in layout coordinates
// (pixels at 100 % in that container), and records them by parameter.
class ControlFactory {
public:
    ControlFactory(EditorBase& editor, const EditorStyle& style, ControlRegistry& registry,
                   CViewContainer& container);

    // A 48 x 48 knob at (x, y) with its caption under it (161..212) or its
    // value display under it (0..160).
    CControl* knobWithCaption(int parameter, int x, int y, const std::string& caption, int captionMargin = 4);
    CControl* knobWithDisplay(int parameter, int x, int y);
    // A value display alone (its knob lies elsewhere).
    ParamDisplay* valueDisplay(int parameter, int left, int top, int right, int bottom);
    // A knob whose value display lies elsewhere.
    CControl* knobAt(int parameter, int x, int y);
    // A value display that is dragged like a knob: the display, with a
    // knob without film strip over it.
    CControl* valueField(int parameter, int left, int top, int right, int bottom);
    // The same with a display made by the caller (sized in window pixels).
    CControl* valueField(int parameter, ParamDisplay* shown);
    // A name over a value field, each 16 high, `width` wide.
    CControl* labelledField(int parameter, int x, int y, const std::string& name, int width = 48);
    ParamLabel* label(const std::string& text, int left, int top, int right, int bottom,
                      CHoriTxtAlign align = kCenterText);
    ParamLabel* title(const std::string& text, int left, int top, int right, int bottom);
    // Registers a menu or switch made elsewhere as the control of `parameter`.
    CControl* addChoice(int parameter, CControl* control);
    CControl* textButton(int parameter, int left, int top, int right, int bottom, const std::string& offText,
                         const std::string& onText);

    CViewContainer& container() { return container_; }
    EditorBase& editor() { return editor_; }
    const EditorStyle& style() const { return style_; }

private:
    EditorBase& editor_;
    const EditorStyle& style_;
    ControlRegistry& registry_;
    CViewContainer& container_;

    ParamDisplay* display(int parameter, const CRect& size);
    void setDefault(CControl* control, int parameter);
};

}  // namespace tvx
