#include "gui/c_knob.h"

#include "gui/aeff_gui_editor.h"
#include "headless_platform.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tvx {

namespace {

struct KnobFixture : ::testing::Test {
    KnobFixture() : ui(200, 400) {
        knob = new CKnob({50, 150, 98, 198}, &listener, 42);
        knob->setValue(0.5f);
        knob->setDefaultValue(0.25f);
        ui.frame->addView(knob);
    }
    HeadlessFrame ui;
    RecordingListener listener;
    CKnob* knob;
};

}  // namespace

TEST_F(KnobFixture, VerticalDragCoversTheRangeInTwoHundredPixels) {
    ui.press({70, 170});
    EXPECT_EQ(1, listener.begins);
    ui.moveTo({90, 130});  // 40 up; sideways movement counts for nothing
    EXPECT_FLOAT_EQ(0.7f, knob->getValue());
    ui.moveTo({70, 230});  // 60 below the start
    EXPECT_FLOAT_EQ(0.2f, knob->getValue());
    ui.release({70, 230});
    EXPECT_EQ(1, listener.ends);
    ASSERT_EQ(2u, listener.values.size());
    EXPECT_EQ(knob, listener.changes[0]);
    EXPECT_EQ(42, listener.changes[0]->getTag());

    // Past the top the value stops at 1, and turning back moves it at once.
    ui.press({70, 170});
    ui.moveTo({70, 0});
    EXPECT_FLOAT_EQ(1.0f, knob->getValue());
    ui.moveTo({70, 20});
    EXPECT_FLOAT_EQ(0.9f, knob->getValue());
    ui.release({70, 20});
}

TEST_F(KnobFixture, ShiftOrCtrlDragsTenTimesFinerWithoutAJump) {
    for (CButtonState modifier : {kShift, kControl}) {
        knob->setValue(0.5f);
        ui.press({70, 170}, kLButton | modifier);
        ui.moveTo({70, 130}, kLButton | modifier);
        EXPECT_FLOAT_EQ(0.52f, knob->getValue());
        ui.release({70, 130}, kLButton | modifier);
    }
    // Letting go of Shift mid-drag continues from the current value.
    knob->setValue(0.5f);
    ui.press({70, 170}, kLButton | kShift);
    ui.moveTo({70, 150}, kLButton | kShift);
    EXPECT_FLOAT_EQ(0.51f, knob->getValue());
    ui.moveTo({70, 150}, kLButton);
    EXPECT_FLOAT_EQ(0.51f, knob->getValue());
    ui.moveTo({70, 130}, kLButton);
    EXPECT_FLOAT_EQ(0.61f, knob->getValue());
    ui.release({70, 130});
}

TEST_F(KnobFixture, DoubleClickReturnsToTheDefaultAsOneEdit) {
    ui.click({70, 170}, kLButton | kDoubleClick);
    EXPECT_FLOAT_EQ(0.25f, knob->getValue());
    EXPECT_EQ(1, listener.begins);
    EXPECT_EQ(1, listener.ends);
    ASSERT_EQ(1u, listener.values.size());
    EXPECT_FLOAT_EQ(0.25f, listener.values[0]);
    EXPECT_FALSE(ui.frame->isMouseCaptured());
}

TEST_F(KnobFixture, WheelMovesBySmallStepsAndFinerWithShift) {
    EXPECT_TRUE(ui.frame->platformOnWheel({70, 170}, 1.0f, 0));
    EXPECT_FLOAT_EQ(0.51f, knob->getValue());
    ui.frame->platformOnWheel({70, 170}, -3.0f, 0);
    EXPECT_FLOAT_EQ(0.48f, knob->getValue());
    ui.frame->platformOnWheel({70, 170}, 1.0f, kShift);
    EXPECT_NEAR(0.481f, knob->getValue(), 1e-6);
    EXPECT_EQ(3, listener.begins);
    EXPECT_EQ(3, listener.ends);
    EXPECT_EQ(3u, listener.values.size());
    // Not over the knob: nothing happens.
    EXPECT_FALSE(ui.frame->platformOnWheel({10, 10}, 1.0f, 0));
}

TEST_F(KnobFixture, OnlyGesturesReachTheListener) {
    knob->setValue(0.9f);
    knob->setValue(std::nanf(""));
    knob->setValue(7.0f);
    EXPECT_FLOAT_EQ(1.0f, knob->getValue());
    knob->setValue(-1.0f);
    EXPECT_FLOAT_EQ(0.0f, knob->getValue());
    EXPECT_TRUE(listener.changes.empty());
    // A right click is not a drag.
    ui.click({70, 170}, kRButton);
    EXPECT_EQ(0, listener.begins);
}

TEST(CKnob, CircularModesFollowTheAngleAroundTheCentre) {
    struct Editor : AEffGUIEditor {
        Editor() : AEffGUIEditor(nullptr) {}
    } editor;
    editor.setKnobMode(kCircularMode);
    TestImageContext image(100, 100);
    CFrame frame({0, 0, 100, 100}, nullptr, &editor);
    frame.setPlatformFrame(std::make_unique<HeadlessPlatform>(frame, image));
    auto* knob = new CKnob({0, 0, 100, 100}, nullptr, 1);
    frame.addView(knob);

    frame.platformOnMouseDown({50, 10}, kLButton);  // straight up: the middle
    EXPECT_NEAR(0.5f, knob->getValue(), 0.01f);
    frame.platformOnMouseMoved({90, 50}, kLButton);  // right: three quarters of the sweep
    EXPECT_NEAR(5.0f / 6.0f, knob->getValue(), 0.01f);
    frame.platformOnMouseMoved({10, 90}, kLButton);  // lower left: the start
    EXPECT_NEAR(0.0f, knob->getValue(), 0.01f);
    frame.platformOnMouseUp({10, 90}, kLButton);

    editor.setKnobMode(kRelativCircularMode);
    knob->setValue(0.2f);
    frame.platformOnMouseDown({50, 10}, kLButton);
    EXPECT_FLOAT_EQ(0.2f, knob->getValue());
    frame.platformOnMouseMoved({90, 50}, kLButton);
    EXPECT_NEAR(0.2f + 1.0f / 3.0f, knob->getValue(), 0.01f);
    frame.platformOnMouseUp({90, 50}, kLButton);
}

TEST(CKnob, DrawsItsHandleAtTheValuesAngle) {
    HeadlessFrame ui(60, 60);
    ui.frame->setBackgroundColor(kBlackCColor);
    auto* knob = new CKnob({0, 0, 60, 60}, nullptr, 1);
    ui.frame->addView(knob);
    knob->setValue(0.5f);  // pointing up
    ui.frame->idle();
    EXPECT_EQ(kWhiteCColor, ui.image.pixelAt(30, 15));
    EXPECT_EQ(kBlackCColor, ui.image.pixelAt(30, 45));
    knob->setValue(0.0f);  // pointing to the lower left
    ui.frame->idle();
    EXPECT_EQ(kBlackCColor, ui.image.pixelAt(30, 15));
    EXPECT_GT(ui.image.pixelAt(20, 40).red, 128);
}

}  // namespace tvx
