#include "effects/chorus.h"

#include <gtest/gtest.h>

#include "effect_test_support.h"

namespace tvx {

TEST(ChorusTest, FullMixOutputsOnlyTheLineOutputs) {
    EffectParams p;
    p[ChorusMix] = 1.0f;
    Chorus chorus;
    chorus.prepare(44100.0f);
    chorus.beginBlock(p.data());
    // Reference lines driven with the same settings as the chorus's smoothers
    // (which jump to the parameter values on their first update).
    ChorusLine left, right;
    left.prepare(44100.0f);
    right.prepare(44100.0f);
    float rate = p[ChorusRate] * p[ChorusRate] * 9.9f + 0.1f;
    left.setRate(rate * 0.9f);
    right.setRate(rate);
    for (int i = 0; i < 3000; ++i) {
        float inL = testSine(i, 330.0f, 44100.0f), inR = -0.5f * inL;
        float l = inL, r = inR;
        chorus.process(p.data(), l, r);
        left.setShape(p[ChorusDepth], p[ChorusDelay]);
        right.setShape(p[ChorusDepth], p[ChorusDelay]);
        ASSERT_EQ(l, left.process(inL)) << i;
        ASSERT_EQ(r, right.process(inR)) << i;
    }
}

TEST(ChorusTest, LineAveragesTheDirectAndTheDelayedSignal) {
    ChorusLine line;
    line.prepare(44100.0f);
    line.setRate(0.0f);          // the LFO stays where it is
    line.setShape(0.0f, 0.5f);   // no depth, 4.05 ms
    EXPECT_FLOAT_EQ(line.baseDelay(), 4.05f * 44.1f);
    EXPECT_EQ(line.process(1.0f), 0.5f);  // the direct half only
    int delay = static_cast<int>(line.baseDelay());
    float seen = 0.0f;
    for (int i = 1; i < delay + 3; ++i) seen += line.process(0.0f);
    EXPECT_NEAR(seen, 0.5f, 1e-5f);  // the delayed half, split over two taps
}

TEST(ChorusTest, BufferHoldsTheLongestSweepAtEveryRate) {
    for (float fs : {22050.0f, 44100.0f, 96000.0f, 192000.0f}) {
        ChorusLine line;
        line.prepare(fs);
        line.setShape(1.0f, 1.0f);
        line.setShape(1.0f, 1.0f);  // depth follows the previous base delay
        EXPECT_FLOAT_EQ(line.depth(), 0.93f * line.baseDelay());
        EXPECT_FLOAT_EQ(line.baseDelay(), fs * 0.008f);
        EXPECT_GE(line.capacity(), static_cast<int>(line.depth() + line.baseDelay()) + 2) << fs;
        EXPECT_LT(line.capacity(), static_cast<int>(fs * 0.02f)) << fs;  // not six seconds
    }
}

TEST(ChorusTest, RateKeepsTheLfoDirectionAndIsLimited) {
    ChorusLine line;
    line.prepare(44100.0f);
    EXPECT_FLOAT_EQ(line.lfoIncrement(), 1.2f / 44100.0f);
    line.setRate(1e9f);
    EXPECT_FLOAT_EQ(line.lfoIncrement(), 0.25f);
    for (int i = 0; i < 6; ++i) line.process(0.0f);  // past the top: now falling
    line.setRate(10.0f);
    EXPECT_FLOAT_EQ(line.lfoIncrement(), -40.0f / 44100.0f);
    line.setRate(kNaN);
    EXPECT_FLOAT_EQ(line.lfoIncrement(), -40.0f / 44100.0f);
    line.setShape(kNaN, kNaN);
    EXPECT_FLOAT_EQ(line.baseDelay(), 0.1f * 44.1f);
    EXPECT_TRUE(std::isfinite(line.process(1.0f)));
}

TEST(ChorusTest, BrokenParametersStayFiniteAndRecover) {
    EffectParams p;
    Chorus chorus;
    chorus.prepare(44100.0f);
    for (float bad : {kNaN, kInf, -kInf, 1e30f, -1e30f}) {
        p[ChorusMix] = p[ChorusRate] = p[ChorusDepth] = p[ChorusDelay] = bad;
        chorus.beginBlock(p.data());
        for (int i = 0; i < 500; ++i) {
            float l = testSine(i, 220.0f, 44100.0f), r = l;
            chorus.process(p.data(), l, r);
            ASSERT_TRUE(std::isfinite(l) && std::isfinite(r)) << bad;
            ASSERT_LE(std::fabs(l), 2.0f) << bad;
        }
    }
}

}  // namespace tvx
