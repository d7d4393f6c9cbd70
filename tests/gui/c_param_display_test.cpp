#include "gui/c_param_display.h"

#include "gui/c_text_label.h"
#include "gui_test_support.h"
#include "headless_platform.h"

#include <gtest/gtest.h>

namespace tvx {

namespace {

bool hasInk(TestImageContext& image, const CRect& area, const CColor& ink) {
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) {
            const CColor c = image.pixelAt(x, y);
            if (std::abs(c.red - ink.red) < 40 && std::abs(c.green - ink.green) < 40 && std::abs(c.blue - ink.blue) < 40)
                return true;
        }
    return false;
}

}  // namespace

TEST(CParamDisplay, ShowsTheOwnersTextInItsFontAndColours) {
    HeadlessFrame ui(120, 40);
    ui.frame->setBackgroundColor({160, 160, 160, 255});
    auto* display = new CParamDisplay({10, 10, 110, 30});
    display->setFont({"Consolas", 12, kBoldFace});
    display->setFontColor({5, 190, 238, 255});
    display->setBackColor({0, 0, 34, 255});
    ui.frame->addView(display);
    EXPECT_EQ("0.00", display->getDisplayText());
    display->setValue(0.375f);
    EXPECT_EQ("0.38", display->getDisplayText());

    display->setStringConvert([](float value) { return std::to_string(int(value * 100.0f)) + " %"; });
    EXPECT_EQ("37 %", display->getDisplayText());
    ui.frame->idle();
    EXPECT_EQ(CColor(0, 0, 34, 255), ui.image.pixelAt(11, 11));
    EXPECT_TRUE(hasInk(ui.image, {10, 10, 110, 30}, {5, 190, 238, 255}));
    EXPECT_FALSE(hasInk(ui.image, {0, 0, 120, 10}, {5, 190, 238, 255}));
    ui.image.writePng((screenshotFolder() / "param_display.png").string());

    // Transparent: the text sits on what is below.
    display->setTransparency(true);
    ui.frame->idle();
    EXPECT_EQ(CColor(160, 160, 160, 255), ui.image.pixelAt(11, 11));
}

TEST(CParamDisplay, ADraggableDisplayBehavesLikeAKnob) {
    HeadlessFrame ui(200, 300);
    RecordingListener listener;
    auto* below = new CParamDisplay({0, 0, 200, 300});
    below->setDraggable(true);
    below->setListener(&listener);
    auto* display = new CParamDisplay({10, 100, 58, 116});
    display->setListener(&listener);
    display->setTag(0);
    display->setDefaultValue(0.8f);
    ui.frame->addView(below);
    ui.frame->addView(display);

    // Not draggable: the press goes to what lies below it.
    ui.press({20, 108});
    ui.moveTo({20, 88});
    ui.release({20, 88});
    EXPECT_FLOAT_EQ(0.1f, below->getValue());
    EXPECT_FLOAT_EQ(0.0f, display->getValue());

    display->setDraggable(true);
    display->setValue(0.5f);
    ui.press({20, 108});
    ui.moveTo({20, 68});
    ui.release({20, 68});
    EXPECT_FLOAT_EQ(0.7f, display->getValue());
    ui.press({20, 108}, kLButton | kShift);
    ui.moveTo({20, 208}, kLButton | kShift);
    ui.release({20, 208}, kLButton | kShift);
    EXPECT_FLOAT_EQ(0.65f, display->getValue());
    ui.click({20, 108}, kLButton | kDoubleClick);
    EXPECT_FLOAT_EQ(0.8f, display->getValue());
    ui.frame->platformOnWheel({20, 108}, 2.0f, 0);
    EXPECT_FLOAT_EQ(0.82f, display->getValue());
    EXPECT_EQ(display, listener.changes.back());
}

TEST(CTextLabel, DrawsItsTextAndRedrawsOnlyWhenItChanges) {
    HeadlessFrame ui(100, 40);
    auto* label = new CTextLabel({0, 0, 100, 40}, "Cut");
    label->setFontColor(kBlackCColor);
    label->setBackColor(kWhiteCColor);
    ui.frame->addView(label);
    ui.frame->idle();
    EXPECT_TRUE(hasInk(ui.image, {0, 0, 100, 40}, kBlackCColor));
    ui.platform->painted.clear();
    label->setText("Cut");
    ui.frame->idle();
    EXPECT_TRUE(ui.platform->painted.empty());
    label->setText("");
    ui.frame->idle();
    EXPECT_EQ(1u, ui.platform->painted.size());
    EXPECT_FALSE(hasInk(ui.image, {0, 0, 100, 40}, kBlackCColor));
}

}  // namespace tvx
