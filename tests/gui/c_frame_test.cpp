#include "gui/c_frame.h"

#include "gui/aeff_gui_editor.h"
#include "gui/c_anim_knob.h"
#include "gui/c_knob.h"
#include "headless_platform.h"

#include <gtest/gtest.h>

#include <thread>

namespace tvx {

namespace {

class SolidControl : public CControl {
public:
    explicit SolidControl(const CRect& size, int* deaths = nullptr) : CControl(size), deaths_(deaths) {}
    ~SolidControl() override {
        if (deaths_) ++*deaths_;
    }
    void draw(CDrawContext* context) override {
        ++draws;
        const uint8_t level = uint8_t(getValue() * 255.0f);
        context->fillRect(size_, {level, level, level, 255});
    }
    int draws = 0;

private:
    int* deaths_;
};

}  // namespace

TEST(CFrame, IdleRepaintsOnlyWhatIsDirty) {
    HeadlessFrame ui(300, 200);
    auto* group = new CViewContainer({100, 100, 300, 200});
    auto* a = new SolidControl({10, 10, 30, 30});
    auto* b = new SolidControl({40, 10, 60, 30});
    ui.frame->addView(a);
    ui.frame->addView(group);
    group->addView(b);

    ui.frame->idle();
    ASSERT_EQ(1u, ui.platform->painted.size());  // everything, once
    EXPECT_EQ(CRect(0, 0, 300, 200), ui.platform->painted[0]);
    ui.platform->painted.clear();
    const int drawsBefore = a->draws;

    ui.frame->idle();
    EXPECT_TRUE(ui.platform->painted.empty());
    EXPECT_EQ(drawsBefore, a->draws);

    b->setValue(1.0f);
    b->setValue(1.0f);
    ui.frame->idle();
    ASSERT_EQ(1u, ui.platform->painted.size());
    EXPECT_EQ(CRect(140, 110, 160, 130), ui.platform->painted[0]);
    EXPECT_EQ(drawsBefore, a->draws);
    EXPECT_EQ(kWhiteCColor, ui.image.pixelAt(150, 120));

    // Setting the same value again is no change and costs no drawing.
    ui.platform->painted.clear();
    b->setValue(1.0f);
    ui.frame->idle();
    EXPECT_TRUE(ui.platform->painted.empty());
}

TEST(CFrame, ValuesSetFromAnotherThreadAreDrawnAtTheNextIdle) {
    HeadlessFrame ui(100, 100);
    auto* control = new SolidControl({0, 0, 50, 50});
    ui.frame->addView(control);
    ui.frame->idle();
    ui.platform->painted.clear();
    const int draws = control->draws;

    std::thread host([control] {
        for (int i = 0; i <= 1000; ++i) control->setValue(float(i) / 1000.0f);
    });
    host.join();
    // Setting stored the value and drew nothing.
    EXPECT_EQ(draws, control->draws);
    EXPECT_TRUE(ui.platform->painted.empty());
    EXPECT_FLOAT_EQ(1.0f, control->getValue());
    ui.frame->idle();
    EXPECT_EQ(draws + 1, control->draws);
    EXPECT_EQ(kWhiteCColor, ui.image.pixelAt(25, 25));
}

TEST(CFrame, CapturesTheMouseForTheWholeDrag) {
    HeadlessFrame ui(200, 200);
    auto* knob = new CKnob({10, 10, 40, 40}, nullptr, 1);
    knob->setValue(0.5f);
    ui.frame->addView(knob);

    ui.press({20, 20});
    EXPECT_TRUE(ui.platform->captured);
    EXPECT_TRUE(ui.frame->isMouseCaptured());
    // Far outside the knob (and the window): the knob still follows.
    ui.moveTo({150, -30});
    EXPECT_FLOAT_EQ(0.75f, knob->getValue());
    ui.release({150, -30});
    EXPECT_FALSE(ui.platform->captured);
    // Moves without a button held go nowhere.
    ui.moveTo({20, 0});
    EXPECT_FLOAT_EQ(0.75f, knob->getValue());
}

TEST(CFrame, CloseDestroysTheTreeAndLeavesAHarmlessFrame) {
    int deaths = 0;
    HeadlessFrame ui(100, 100);
    ui.frame->addView(new SolidControl({0, 0, 10, 10}, &deaths));
    auto* group = new CViewContainer({20, 20, 60, 60});
    group->addView(new SolidControl({0, 0, 10, 10}, &deaths));
    ui.frame->addView(group);
    ui.press({5, 5});
    ui.frame->close();
    EXPECT_EQ(2, deaths);
    EXPECT_FALSE(ui.frame->isOpen());
    EXPECT_EQ(nullptr, ui.frame->getPlatformFrame());
    ui.frame->idle();
    ui.release({5, 5});
    EXPECT_EQ(kMouseEventNotHandled, ui.frame->platformOnMouseDown({5, 5}, kLButton));
}

TEST(AEffGUIEditor, HandsOutItsRectAndDeletesItsFrameOnClose) {
    struct TestEditor : AEffGUIEditor {
        explicit TestEditor(void* effect) : AEffGUIEditor(effect) {
            rect.right = 1056;
            rect.bottom = 624;
        }
        bool open(void* parent) override {
            AEffGUIEditor::open(parent);
            frame.reset(new CFrame({0, 0, rect.right, rect.bottom}, parent, this));
            frame->addView(new SolidControl({0, 0, 10, 10}, &deaths));
            return true;
        }
        int deaths = 0;
    };
    int effect = 0;
    TestEditor editor(&effect);
    EXPECT_EQ(&effect, editor.getEffect());
    GuiEditorRect* rect = nullptr;
    ASSERT_TRUE(editor.getRect(&rect));
    EXPECT_EQ(1056, rect->right);
    EXPECT_EQ(624, rect->bottom);
    EXPECT_FALSE(editor.getRect(nullptr));

    EXPECT_FALSE(editor.isOpen());
    editor.idle();  // closed: nothing to do
    ASSERT_TRUE(editor.open(nullptr));
    EXPECT_TRUE(editor.isOpen());
    EXPECT_EQ(kLinearMode, editor.getFrame()->getKnobMode());
    editor.idle();
    editor.close();
    EXPECT_EQ(1, editor.deaths);
    EXPECT_FALSE(editor.isOpen());
    editor.close();
}

}  // namespace tvx
