#include "editor/param_display.h"

#include "editor/editor_host.h"
#include "editor/editor_style.h"
#include "editor/value_text.h"

ParamDisplay::ParamDisplay(const CRect& size, EditorHost& host, int32_t parameter, const StyledFont& font)
    : CParamDisplay(size) {
    setTag(parameter);
    setFont(font.desc);
    setFontColor(font.color);
    setBackColor(font.back);
    setMouseEnabled(false);
    // The text is taken from the plug-in when drawn, so it also follows
    // settings that change its wording (a synced rate shows a division).
    setStringConvert([&host, parameter](float) { return editorValueText(host, parameter); });
}
