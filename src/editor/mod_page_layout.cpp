#include "editor/mod_page_layout.h"

#include <string>

#include "editor/bar_display.h"
#include "editor/control_factory.h"
#include "editor/editor_base.h"
#include "editor/editor_host.h"
#include "editor/section_dimming.h"
#include "editor/selection_menus.h"
#include "gui/c_view_container.h"
#include "params/command_index.h"
#include "params/parameter_id.h"

namespace tvx {

namespace {

constexpr int kHalfLeft[2] = {16, 504};
constexpr int kHeadingTop = 24;
constexpr int kFirstRowTop = 42;
constexpr int kRowPitch = 17;
constexpr int kSlotsPerHalf = 6;

// Columns of a half, from its left edge.
struct Column {
    int left, right;
};
constexpr Column kNumber = {0, 20};
constexpr Column kSource = {28, 180};
constexpr Column kTarget = {188, 372};
constexpr Column kAmount = {380, 476};

}  // namespace

void buildModPage(ControlFactory& f, SectionDimming& dimming) {
    EditorBase& editor = f.editor();
    const EditorStyle& style = f.style();
    f.title("MODULATION MATRIX", 16, 0, 992, 20);
    for (int hx : kHalfLeft) {
        f.label("Source", hx + kSource.left, kHeadingTop, hx + kSource.right, kHeadingTop + 16);
        f.label("Target", hx + kTarget.left, kHeadingTop, hx + kTarget.right, kHeadingTop + 16);
        f.label("Amount", hx + kAmount.left, kHeadingTop, hx + kAmount.right, kHeadingTop + 16);
    }
    for (int s = 0; s < 12; ++s) {
        const int hx = kHalfLeft[s / kSlotsPerHalf];
        const int y = kFirstRowTop + kRowPitch * (s % kSlotsPerHalf);
        f.label(std::to_string(s + 1), hx + kNumber.left, y, hx + kNumber.right, y + 16, kRightText);
        f.addChoice(Mod1Source + s, new ModSourceMenu(style.textRect(hx + kSource.left, y, hx + kSource.right, y + 16),
                                                      &editor, kCmdMod1Source + s, style.menu));
        f.addChoice(Mod1Target + s, new ModTargetMenu(style.textRect(hx + kTarget.left, y, hx + kTarget.right, y + 16),
                                                      &editor, kCmdMod1Target + s, style.menu));
        f.valueField(Mod1Amount + s,
                     new BarDisplay(style.textRect(hx + kAmount.left, y, hx + kAmount.right, y + 16), editor.host(),
                                    Mod1Amount + s, style.display, BarDisplay::kFromCentre));
    }
    for (int s = 0; s < 12; ++s) {
        const int hx = kHalfLeft[s / kSlotsPerHalf];
        const int y = kFirstRowTop + kRowPitch * (s % kSlotsPerHalf);
        dimming.add(f.container(), style, SectionDimming::kModSlot, s, hx, y, hx + kAmount.right, y + 16);
    }
}

}  // namespace tvx
