#include "editor/editor.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "editor/context_menu.h"
#include "editor/fake_editor_host.h"
#include "editor/main_menu.h"
#include "editor/param_display.h"
#include "editor/param_knob.h"
#include "editor/param_label.h"
#include "editor/param_menu.h"
#include "editor/preset_menu.h"
#include "editor/text_button.h"
#include "gui/c_frame.h"
#include "gui/c_tab_view.h"
#include "params/modulation_codes.h"

namespace tvx {

namespace {

struct PlacedControl {
    CControl* control;
    CRect rect;  // window coordinates
    bool visible;
};

bool shownOnScreen(const CView* view) {
    for (const CView* v = view; v; v = v->getParentView())
        if (!v->isVisible()) return false;
    return true;
}

void collect(const CViewContainer& container, std::vector<PlacedControl>& out) {
    for (const auto& child : container.children()) {
        if (auto* inner = dynamic_cast<const CViewContainer*>(child.get())) collect(*inner, out);
        if (auto* control = dynamic_cast<CControl*>(child.get()))
            out.push_back({control, control->getFrameRect(), shownOnScreen(control)});
    }
}

std::vector<PlacedControl> allControls(const Editor& editor) {
    std::vector<PlacedControl> out;
    collect(*editor.getFrame(), out);
    return out;
}

// Menus that lie over a whole area on purpose.
bool isOverlay(const CControl* c) {
    return dynamic_cast<const ContextMenu*>(c) || dynamic_cast<const PresetMenu*>(c);
}

// A knob without film strip is the drag area of the display under it.
bool isDragArea(const CControl* c) {
    auto* knob = dynamic_cast<const ParamKnob*>(c);
    return knob && !(knob->getBackground() && knob->getBackground()->isLoaded());
}

// The parameter a control changes, or -1 for displays, labels and commands.
int parameterOf(const CControl* c) {
    if (dynamic_cast<const ParamKnob*>(c)) return c->getTag();
    if (auto* menu = dynamic_cast<const ParamMenu*>(c)) return menu->parameter();
    if (dynamic_cast<const TextButton*>(c) && c->getTag() >= 213) return c->getTag();
    return -1;
}

// Sections at 100 %, in content coordinates: header, the module boxes
// between the dividers of the three rows, the tabs and the page sections.
std::vector<CRect> sectionBoxes() {
    std::vector<CRect> boxes = {CRect(0, 0, 1056, 40), CRect(8, 480, 56, 624)};
    for (int dy : {0, 144, 288}) {
        const int top = 40 + (dy == 0 ? 4 : dy + 8), bottom = 40 + 148 + dy;
        for (auto x : {std::pair<int, int>{8, 368}, {368, 512}, {512, 784}, {784, 1048}})
            boxes.emplace_back(x.first, top, x.second, bottom);
    }
    const int pageEdges[] = {8, 168, 280, 360, 504, 648, 856, 992};
    for (int i = 0; i + 1 < 8; ++i) boxes.emplace_back(56 + pageEdges[i], 480, 56 + pageEdges[i + 1], 624);
    boxes.emplace_back(56 + 8, 480, 56 + 992, 624);  // MOD and SEQ pages
    return boxes;
}

bool inside(const CRect& inner, const CRect& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

class EditorTest : public ::testing::Test {
protected:
    FakeEditorHost host;
    Editor editor{host};

    void openAt(int scale) {
        host.config().scale = scale;
        editor.close();
        ASSERT_TRUE(editor.open(nullptr));
    }
};

TEST_F(EditorTest, EveryControlLiesInItsSectionAndNoTwoOverlapAtEveryScale) {
    for (int scale = 0; scale <= 4; ++scale)
        for (int page = Editor::kMainPage; page <= Editor::kSeqPage; ++page) {
            SCOPED_TRACE("scale " + std::to_string(scale) + " page " + std::to_string(page));
            openAt(scale);
            editor.pageSwitcher()->selectTab(page);
            host.params_[Osc3Type] = 3.0f;  // one oscillator shows its FM set
            editor.idle();
            const EditorStyle& style = editor.style();
            const CRect window = style.windowRect();
            const CPoint origin = style.contentOrigin();
            std::vector<CRect> boxes;
            for (CRect box : sectionBoxes()) {
                box = style.rect(box.left, box.top, box.right, box.bottom);
                boxes.push_back(box.offset(origin.x, origin.y));
            }
            std::vector<PlacedControl> shown;
            for (const PlacedControl& p : allControls(editor))
                if (p.visible && !isOverlay(p.control)) shown.push_back(p);
            ASSERT_GT(shown.size(), 300u);
            for (const PlacedControl& p : shown) {
                EXPECT_TRUE(inside(p.rect, window)) << "tag " << p.control->getTag();
                bool inSection = false;
                for (const CRect& box : boxes) inSection = inSection || inside(p.rect, box);
                EXPECT_TRUE(inSection) << "tag " << p.control->getTag() << " at " << p.rect.left << ","
                                       << p.rect.top;
            }
            for (size_t a = 0; a < shown.size(); ++a)
                for (size_t b = a + 1; b < shown.size(); ++b) {
                    const PlacedControl &p = shown[a], &q = shown[b];
                    if (!p.rect.rectOverlap(q.rect)) continue;
                    const bool fieldPair = (isDragArea(p.control) || isDragArea(q.control)) && p.rect == q.rect &&
                                           p.control->getTag() == q.control->getTag();
                    EXPECT_TRUE(fieldPair) << "tags " << p.control->getTag() << " and " << q.control->getTag()
                                           << " at " << p.rect.left << "," << p.rect.top << " / " << q.rect.left
                                           << "," << q.rect.top;
                }
        }
}

TEST_F(EditorTest, EveryParameterUpToTheSwitchesHasExactlyOneControl) {
    openAt(0);
    std::map<int, int> count;
    for (const PlacedControl& p : allControls(editor))
        if (parameterOf(p.control) >= 0) ++count[parameterOf(p.control)];
    for (int parameter = 0; parameter < 260; ++parameter) EXPECT_EQ(count[parameter], 1) << "parameter " << parameter;
    EXPECT_EQ(count.count(EQ1UseShelf), 0u);
}

TEST_F(EditorTest, WindowSizeFollowsScaleAndMargins) {
    GuiEditorRect* r = nullptr;
    const std::pair<int, std::pair<int, int>> sizes[] = {
        {0, {1056, 624}}, {1, {1320, 780}}, {2, {1584, 936}}, {3, {1848, 1092}}, {4, {2112, 1248}}, {9, {1056, 624}}};
    for (const auto& s : sizes) {
        host.config().scale = s.first;
        ASSERT_TRUE(editor.getRect(&r));  // closed: the size the next opening takes
        EXPECT_EQ(r->right - r->left, s.second.first) << "scale " << s.first;
        EXPECT_EQ(r->bottom - r->top, s.second.second) << "scale " << s.first;
    }
}

TEST_F(EditorTest, ControlsFollowParametersAndReportTheirChanges) {
    openAt(0);
    const ControlRegistry& c = editor.controls();
    editor.setParameter(Flt1Cut, 0.25f);
    EXPECT_FLOAT_EQ(c.knob[Flt1Cut]->getValue(), 0.25f);
    host.params_[Osc1Semi] = 0.75f;  // the plug-in stores, then tells the editor
    editor.setParameter(Osc1Semi, 0.75f);
    EXPECT_FLOAT_EQ(c.display[Osc1Semi]->getValue(), 0.75f);
    EXPECT_EQ(c.display[Osc1Semi]->getDisplayText(), "+12 st");
    // Sources and targets are shown as menu positions.
    editor.setParameter(Mod3Source, 15.0f);  // "Seq Mod B"
    EXPECT_FLOAT_EQ(c.controlOf(Mod3Source)->getValue(), 23.0f);
    editor.setParameter(Mod3Target, 19.0f);  // "Flt 1 Cut"
    EXPECT_FLOAT_EQ(c.controlOf(Mod3Target)->getValue(), 40.0f);
    editor.setParameter(Mod3Target, 1e30f);  // nonsense from a host shows "--"
    EXPECT_FLOAT_EQ(c.controlOf(Mod3Target)->getValue(), 0.0f);

    CControl* knob = c.knob[Env2Rel];
    knob->setValue(0.6f);
    editor.valueChanged(knob);
    ASSERT_FALSE(host.sent.empty());
    EXPECT_EQ(host.sent.back().first, Env2Rel);
    EXPECT_FLOAT_EQ(host.sent.back().second, 0.6f);
    auto* menu = static_cast<ParamMenu*>(c.controlOf(Flt2Type));
    menu->choose(menu, 4);
    EXPECT_EQ(host.sent.back().first, 1006);
    EXPECT_FLOAT_EQ(host.sent.back().second, 4.0f);
    EXPECT_EQ(menu->getDisplayText(), "BP");
}

TEST_F(EditorTest, HeldKnobShowsItsValueInItsCaptionUntilReleased) {
    openAt(0);
    ParamLabel* caption = editor.controls().caption[Flt1Cut - ControlRegistry::kFirstCaption];
    ASSERT_NE(caption, nullptr);
    editor.idle();
    EXPECT_EQ(caption->getText(), "Cut");
    const CRect knob = editor.controls().knob[Flt1Cut]->getFrameRect();
    const CPoint centre(knob.left + knob.width() / 2, knob.top + knob.height() / 2);
    editor.getFrame()->platformOnMouseDown(centre, kLButton);
    editor.idle();
    EXPECT_EQ(caption->getText(), "21.0 kHz");
    editor.getFrame()->platformOnMouseUp(centre, kLButton);
    editor.idle();
    EXPECT_EQ(caption->getText(), "Cut");
    // The touched knob is the MIDI-learn target.
    EXPECT_EQ(host.config().midiLearnParam, Flt1Cut);
}

TEST_F(EditorTest, FmOscillatorShowsItsModulatorsInsteadOfPositionAndUnison) {
    openAt(0);
    const ControlRegistry& c = editor.controls();
    editor.idle();
    EXPECT_TRUE(c.knob[Osc2Pos]->isVisible());
    EXPECT_FALSE(c.knob[Osc2Mod1Ratio]->isVisible());
    host.params_[Osc2Type] = 3.0f;
    editor.idle();
    EXPECT_FALSE(c.knob[Osc2Pos]->isVisible());
    EXPECT_FALSE(c.knob[Osc2UniDet]->isVisible());
    EXPECT_TRUE(c.knob[Osc2Mod1Amt]->isVisible());
    EXPECT_TRUE(c.knob[Osc2Mod2Ratio]->isVisible());
}

TEST_F(EditorTest, PageIsRememberedFromCloseToOpen) {
    openAt(0);
    EXPECT_EQ(editor.pageSwitcher()->getCurrentTab(), Editor::kMainPage);
    editor.pageSwitcher()->selectTab(Editor::kSeqPage);
    editor.close();
    editor.close();  // twice is harmless
    editor.idle();   // so is idle while closed
    ASSERT_TRUE(editor.open(nullptr));
    EXPECT_EQ(editor.pageSwitcher()->getCurrentTab(), Editor::kSeqPage);
}

TEST_F(EditorTest, ModuleMenusOpenOnlyWithTheRightButton) {
    openAt(0);
    // The right button on oscillator 1's title bar finds its menu, the left
    // button passes through to nothing.
    std::vector<PlacedControl> all = allControls(editor);
    ContextMenu* oscMenu = nullptr;
    for (const PlacedControl& p : all)
        if (p.control->getTag() == 1036) oscMenu = dynamic_cast<ContextMenu*>(p.control);
    ASSERT_NE(oscMenu, nullptr);
    CPoint where(20, 60);
    EXPECT_EQ(oscMenu->onMouseDown(where, kLButton), kMouseEventNotHandled);
    EXPECT_EQ(oscMenu->getNbEntries(), 9);
    EXPECT_EQ(oscMenu->getEntry(5)->title, "Square");
    EXPECT_TRUE(oscMenu->getEntry(2)->isSeparator());
}

}  // namespace

}  // namespace tvx
