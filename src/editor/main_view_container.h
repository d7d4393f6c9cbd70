#pragma once

#include "editor/scaled_view_container.h"

namespace tvx {

// The area below the header: the four section title bars and the module
// dividers of the three module rows.
class MainViewContainer : public ScaledViewContainer {
public:
    MainViewContainer(const CRect& size, const EditorStyle& style);

    void drawBackgroundRect(CDrawContext* context, const CRect& rect) override;

    // The title bars, at 100 % in this container's coordinates.
    static constexpr int kTitleBars[4][2] = {{4, 28}, {152, 172}, {296, 316}, {440, 460}};
    static constexpr int kTitleLeft = 8;
    static constexpr int kTitleRight = 1048;
};

}  // namespace tvx
