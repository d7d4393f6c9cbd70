#include "gui/c_anim_knob.h"

#include "headless_platform.h"

#include <gtest/gtest.h>

namespace tvx {

namespace {

// A film strip of `frames` square frames: frame k is grey level k * 10
// with a white dot at (k mod side, 0), so both the frame and its placement show.
SharedBitmap numberedStrip(int frames, int side = 16) {
    std::vector<uint32_t> pixels(size_t(side * side * frames));
    for (int k = 0; k < frames; ++k) {
        const uint32_t level = uint32_t(k * 10);
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x)
                pixels[size_t((k * side + y) * side + x)] = 0xff000000u | (level << 16) | (level << 8) | level;
        pixels[size_t((k * side) * side + k % side)] = 0xffffffffu;
    }
    return std::make_shared<CBitmap>(side, side * frames, pixels);
}

}  // namespace

TEST(CAnimKnob, ValuePicksTheFrameAndTheFrameLandsOnTheView) {
    HeadlessFrame ui(100, 100);
    ui.frame->setBackgroundColor({0, 0, 255, 255});
    auto* knob = new CAnimKnob({40, 30, 56, 46}, nullptr, 7, 21, 16, numberedStrip(21));
    ui.frame->addView(knob);

    struct Case { float value; int frame; };
    for (const Case c : {Case{0.0f, 0}, Case{1.0f, 20}, Case{0.5f, 10}, Case{0.52f, 10}, Case{0.53f, 11},
                         Case{0.024f, 0}, Case{0.026f, 1}}) {
        knob->setValue(c.value);
        EXPECT_EQ(c.frame, knob->currentFrame()) << c.value;
        ui.frame->idle();
        const uint8_t level = uint8_t(c.frame * 10);
        EXPECT_EQ(CColor(level, level, level, 255), ui.image.pixelAt(55, 45)) << c.value;
        EXPECT_EQ(kWhiteCColor, ui.image.pixelAt(40 + c.frame % 16, 30)) << c.value;
        EXPECT_EQ(CColor(0, 0, 255, 255), ui.image.pixelAt(56, 45));
        EXPECT_EQ(CColor(0, 0, 255, 255), ui.image.pixelAt(40, 29));
    }
    knob->setInverseBitmap(true);
    knob->setValue(0.0f);
    EXPECT_EQ(20, knob->currentFrame());
}

TEST(CAnimKnob, WithoutABitmapItIsAnInvisibleDragArea) {
    HeadlessFrame ui(100, 100);
    ui.frame->setBackgroundColor({0, 0, 255, 255});
    RecordingListener listener;
    auto* knob = new CAnimKnob({0, 0, 48, 48}, &listener, 0, 101, 48, nullptr);
    auto* empty = new CAnimKnob({50, 0, 98, 48}, &listener, 0, 101, 48, std::make_shared<CBitmap>());
    ui.frame->addView(knob);
    ui.frame->addView(empty);
    knob->setValue(0.3f);
    ui.frame->idle();
    EXPECT_EQ(CColor(0, 0, 255, 255), ui.image.pixelAt(24, 24));
    EXPECT_EQ(CColor(0, 0, 255, 255), ui.image.pixelAt(74, 24));
    ui.press({24, 24});
    ui.moveTo({24, 4});
    ui.release({24, 4});
    EXPECT_FLOAT_EQ(0.4f, knob->getValue());
    EXPECT_EQ(1u, listener.changes.size());
}

TEST(CAnimKnob, AScaledStripKeepsEachFrameWhole) {
    // A strip made at twice the size and halved, as the editor does at
    // 100 %: no frame bleeds into its neighbours.
    auto strip = numberedStrip(11, 32)->scaledCopy(0.5);
    ASSERT_EQ(16, strip->getWidth());
    ASSERT_EQ(176, strip->getHeight());
    HeadlessFrame ui(64, 64);
    auto* knob = new CAnimKnob({0, 0, 16, 16}, nullptr, 0, 11, 16, strip);
    ui.frame->addView(knob);
    for (int frame : {0, 5, 10}) {
        knob->setValue(frame / 10.0f);
        ui.frame->idle();
        const uint8_t level = uint8_t(frame * 10);
        EXPECT_EQ(CColor(level, level, level, 255), ui.image.pixelAt(15, 0)) << frame;
        EXPECT_EQ(CColor(level, level, level, 255), ui.image.pixelAt(0, 15)) << frame;
        EXPECT_EQ(CColor(level, level, level, 255), ui.image.pixelAt(15, 15)) << frame;
    }
}

}  // namespace tvx
