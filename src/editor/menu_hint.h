#pragma once

#include <cstdint>
#include <string>

#include "gui/c_point.h"

namespace tvx {

class CFrame;
class CViewContainer;
class ParamLabel;
struct EditorStyle;

// A line in the header that names what the right mouse button offers
// where the mouse rests: the main menu on the header strip, a module's
// menu on its title bar. Nothing on screen would otherwise suggest them.
class MenuHint {
public:
    void build(CViewContainer& header, const EditorStyle& style);
    // Follows the mouse, and goes when it leaves the window; does nothing
    // while it has not moved.
    void update(const CFrame& frame);
    void forget();

    // The hint for a point of the frame, or an empty text.
    static std::string hintAt(const CViewContainer& root, const CPoint& where);

private:
    ParamLabel* label_ = nullptr;
    uint32_t seenMoves_ = 0;
};

}  // namespace tvx
