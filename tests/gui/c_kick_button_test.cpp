#include "gui/c_kick_button.h"

#include "gui/c_on_off_button.h"
#include "headless_platform.h"

#include <gtest/gtest.h>

namespace tvx {

TEST(CKickButton, IsOneWhilePressedAndZeroOnRelease) {
    HeadlessFrame ui(100, 100);
    RecordingListener listener;
    auto* button = new CKickButton({10, 10, 26, 34}, &listener, 1057);
    ui.frame->addView(button);
    ui.press({15, 20});
    EXPECT_FLOAT_EQ(1.0f, button->getValue());
    ui.moveTo({60, 20});  // slid off: let go
    EXPECT_FLOAT_EQ(0.0f, button->getValue());
    ui.moveTo({20, 20});
    EXPECT_FLOAT_EQ(1.0f, button->getValue());
    ui.release({20, 20});
    EXPECT_FLOAT_EQ(0.0f, button->getValue());
    EXPECT_EQ((std::vector<float>{1.0f, 0.0f, 1.0f, 0.0f}), listener.values);
    EXPECT_EQ(1, listener.begins);
    EXPECT_EQ(1, listener.ends);
}

TEST(COnOffButton, EachClickTogglesAndTellsTheListener) {
    HeadlessFrame ui(100, 100);
    RecordingListener listener;
    auto* button = new COnOffButton({10, 10, 66, 26}, &listener, 218);
    ui.frame->addView(button);
    ui.click({20, 20});
    EXPECT_FLOAT_EQ(1.0f, button->getValue());
    ui.click({20, 20});
    EXPECT_FLOAT_EQ(0.0f, button->getValue());
    ui.click({20, 20}, kRButton);
    EXPECT_EQ((std::vector<float>{1.0f, 0.0f}), listener.values);
    EXPECT_FALSE(ui.frame->isMouseCaptured());

    // With a bitmap: upper half off, lower half on.
    std::vector<uint32_t> pixels(56 * 32, 0xffff0000u);
    std::fill(pixels.begin() + 56 * 16, pixels.end(), 0xff00ff00u);
    button->setBackground(std::make_shared<CBitmap>(56, 32, pixels));
    ui.frame->idle();
    EXPECT_EQ(kRedCColor, ui.image.pixelAt(30, 20));
    button->setValue(1.0f);
    ui.frame->idle();
    EXPECT_EQ(kGreenCColor, ui.image.pixelAt(30, 20));
}

}  // namespace tvx
