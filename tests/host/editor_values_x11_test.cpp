// Reading and setting values in the editor of the built .so as a musician
// does, in a real X11 window: resting the pointer, the wheel, the knob's
// right-button menu and typed values, bipolar arcs and captions that come
// back. Pointer and keys through XTest, pixels read back from the server.

// GCC 12 at -O3 takes a std::vector of this file's for a free of memory that
// never came from the heap: a known false positive of its flow analysis.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wfree-nonheap-object"
#endif

#ifndef _WIN32
// GoogleTest first: Xlib defines macros (None, Bool) that its headers use as names.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "gui/test_image_context.h"
#include "host/editor_places.h"
#include "host/midi_block.h"
#include "host/signal_analysis.h"
#include "params/parameter_id.h"
#include "support/x11_editor_fixture.h"

namespace tvx {

namespace {

using namespace editor_places;

// An empty stretch of the header, at 100 %.
constexpr int kRestX = 300, kRestY = 20;

class X11EditorValuesTest : public X11EditorFixture {
protected:
    void SetUp() override {
        X11EditorFixture::SetUp();
        if (HasFatalFailure()) return;
        setParameter(kSizeCommand, 0.0f);
        user_->moveTo(kRestX, kRestY);
        ASSERT_TRUE(open());
    }

    std::vector<uint32_t> attackCaption() { return area(kAttackX - 28, kAttackCaptionY - 7, kAttackX + 28, kAttackCaptionY + 7); }
    // Arc pixels of a knob at (x, y), left and right of its vertical axis.
    std::pair<int, int> arcPixels(int x, int y) {
        int left = 0, right = 0;
        for (int dy = -24; dy <= 24; ++dy)
            for (int dx = -24; dx <= 24; ++dx)
                // The round cap of an arc from the top reaches a little past the axis.
                if (std::abs(dx) > 3 && closeTo(user_->pixel(x + dx, y + dy), kArc, 40)) (dx < 0 ? left : right) += 1;
        return {left, right};
    }

    // The pitch oscillator 1 plays for A4 as a sine, in Hz.
    double playedPitch() {
        setParameter(Osc1Pos, 0.75f);
        MidiBlock().add(0, 0x90, 69, 100).sendTo(host_);
        std::vector<float> left;
        std::vector<float> block(512), right(512);
        for (int b = 0; b < 40; ++b) {
            float* out[2] = {block.data(), right.data()};
            host_.effect()->processReplacing(host_.effect(), nullptr, out, 512);
            left.insert(left.end(), block.begin(), block.end());
        }
        MidiBlock().add(0, 0x80, 69, 0).sendTo(host_);
        return signal_analysis::zeroCrossingFrequency(left, 8192, left.size(), 44100.0);
    }
};

TEST_F(X11EditorValuesTest, RestingThePointerShowsTheValueAndLeavingRestoresTheCaption) {
    const std::vector<uint32_t> caption = attackCaption();
    user_->moveTo(kAttackX, kAttackY);
    ASSERT_TRUE(idleUntil([&] { return attackCaption() != caption; })) << "the caption shows the value";
    screenshot("hover-caption");
    user_->moveTo(kRestX, kRestY);
    EXPECT_TRUE(idleUntil([&] { return attackCaption() == caption; }));

    // A value field without a caption: a label beside it names the value.
    const std::vector<uint32_t> beside = area(kSemiX + 30, kSemiY - 8, kSemiX + 150, kSemiY + 8);
    user_->moveTo(kSemiX, kSemiY);
    ASSERT_TRUE(idleUntil([&] { return area(kSemiX + 30, kSemiY - 8, kSemiX + 150, kSemiY + 8) != beside; }));
    screenshot("hover-label");
    user_->moveTo(1300, 800);  // off the window
    EXPECT_TRUE(idleUntil([&] { return area(kSemiX + 30, kSemiY - 8, kSemiX + 150, kSemiY + 8) == beside; }));
}

TEST_F(X11EditorValuesTest, TheWheelTurnsAKnobAndShowsItsValue) {
    const std::vector<uint32_t> caption = attackCaption();
    const float before = parameter(Env1Att);
    user_->moveTo(kAttackX, kAttackY);
    user_->button(4, true);
    user_->button(4, false);
    idle();
    EXPECT_TRUE(idleUntil([&] { return parameter(Env1Att) > before; }));
    EXPECT_TRUE(idleUntil([&] { return attackCaption() != caption; }));
}

TEST_F(X11EditorValuesTest, TypingSemitonesInTheKnobMenusFieldRetunesTheOscillator) {
    const double unchanged = playedPitch();
    ASSERT_NEAR(unchanged, 440.0, 2.0);

    // "banana" says why and changes nothing; Escape closes.
    ASSERT_TRUE(rightClickAndType(kSemiX, kSemiY, {XK_Down, XK_Return}));  // "Enter Value…"
    type({XK_b, XK_a, XK_n, XK_a, XK_n, XK_a, XK_Return});
    screenshot("typed-banana");
    EXPECT_FLOAT_EQ(parameter(Osc1Semi), 0.5f);
    type({XK_Escape});
    EXPECT_FLOAT_EQ(parameter(Osc1Semi), 0.5f);

    // Escape after typing a good value changes nothing either.
    ASSERT_TRUE(rightClickAndType(kSemiX, kSemiY, {XK_Down, XK_Return}));
    type({XK_minus, XK_5, XK_Escape});
    EXPECT_FLOAT_EQ(parameter(Osc1Semi), 0.5f);

    host_.state().automations.clear();
    ASSERT_TRUE(rightClickAndType(kSemiX, kSemiY, {XK_Down, XK_Return}));
    type({XK_minus, XK_1, XK_2, XK_space, XK_s, XK_t, XK_Return});
    EXPECT_NE(parameter(Osc1Semi), 0.5f);
    ASSERT_FALSE(host_.state().automations.empty()) << "the host sees the change as an edit";
    EXPECT_EQ(host_.state().automations.back().first, Osc1Semi);
    EXPECT_NEAR(playedPitch(), 220.0, 1.0);
    EXPECT_TRUE(user_->popups(hostWindow()).empty());

    // "Default" puts it back.
    ASSERT_TRUE(rightClickAndType(kSemiX, kSemiY, {XK_Down, XK_Down, XK_Return}));
    EXPECT_FLOAT_EQ(parameter(Osc1Semi), 0.5f);
}

TEST_F(X11EditorValuesTest, ABipolarKnobLightsNothingAtNeutralAndItsSideOtherwise) {
    auto arcAt = [&](float value) {
        setParameter(Osc1Fine, value);
        idle(3);
        return arcPixels(kFineX, kFineY);
    };
    const auto neutral = arcAt(0.5f);
    EXPECT_EQ(neutral.first + neutral.second, 0);
    const auto down = arcAt(0.25f);
    EXPECT_GT(down.first, 40);
    EXPECT_EQ(down.second, 0);
    const auto up = arcAt(0.75f);
    EXPECT_GT(up.second, 40);
    EXPECT_EQ(up.first, 0);
}

TEST_F(X11EditorValuesTest, TheCaptionReturnsAfterADoubleClickReset) {
    const std::vector<uint32_t> caption = attackCaption();
    setParameter(Env1Att, 0.3f);
    idle(2);
    user_->click(1, kAttackX, kAttackY);
    user_->click(1, kAttackX, kAttackY);
    ASSERT_TRUE(idleUntil([&] { return std::fabs(parameter(Env1Att) - 0.046416f) < 1e-6f; }));
    // The pointer leaves at once, before any readout of resting could start.
    user_->moveTo(kRestX, kRestY);
    idle(2);
    EXPECT_EQ(attackCaption(), caption);
}

}  // namespace

}  // namespace tvx

#endif
