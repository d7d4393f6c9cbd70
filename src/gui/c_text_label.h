#pragma once

#include "gui/c_param_display.h"

#include <string>

namespace tvx {

// A display of a fixed text instead of a value. UI thread only.
class CTextLabel : public CParamDisplay {
public:
    CTextLabel(const CRect& size, const std::string& text = {}, SharedBitmap background = nullptr,
               int32_t style = kNoFrame);

    // Marks the label dirty only when the text changes.
    void setText(const std::string& text);
    const std::string& getText() const { return text_; }
    std::string getDisplayText() const override { return text_; }

private:
    std::string text_;
};

}  // namespace tvx
