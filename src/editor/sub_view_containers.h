#pragma once

#include "editor/scaled_view_container.h"

namespace tvx {

// The three pages of the page switcher. Each draws its dividers; the MOD
// and SEQ pages lie on their own background images.

class SubView1Container : public ScaledViewContainer {
public:
    SubView1Container(const CRect& size, const EditorStyle& style);
};

class SubView2Container : public ScaledViewContainer {
public:
    SubView2Container(const CRect& size, const EditorStyle& style, SharedBitmap background);
};

class SubView3Container : public ScaledViewContainer {
public:
    SubView3Container(const CRect& size, const EditorStyle& style, SharedBitmap background);
};

}  // namespace tvx
