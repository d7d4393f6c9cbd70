#include "effects/ping_pong_delay.h"

#include <climits>
#include <vector>

#include <gtest/gtest.h>

#include "effect_test_support.h"

namespace tvx {

namespace {

constexpr float kFs = 44100.0f;

struct Output {
    std::vector<float> left, right;
};

// An impulse at sample 0, then silence, in blocks of 256.
Output renderImpulse(PingPongDelay& delay, EffectParams& p, int samples, float impulse = 1.0f) {
    Output out;
    for (int i = 0; i < samples; ++i) {
        if (i % 256 == 0) delay.beginBlock(p.data(), 120.0f, 4);
        float l = i == 0 ? impulse : 0.0f, r = l;
        delay.process(p.data(), l, r);
        out.left.push_back(l);
        out.right.push_back(r);
    }
    return out;
}

EffectParams echoParams() {
    EffectParams p;
    p[DelayMix] = 1.0f;
    p[DelayTime] = 0.0f;
    p[DelayFeedback] = 0.0f;
    p[DelayWidth] = 0.0f;
    return p;
}

}  // namespace

TEST(PingPongDelayTest, DelayTimes) {
    PingPongDelay delay;
    delay.prepare(kFs);
    EffectParams p = echoParams();
    EXPECT_EQ(delay.delaySamples(p.data(), 120.0f, 4), 441);
    p[DelayTime] = 1.0f;
    EXPECT_EQ(delay.delaySamples(p.data(), 120.0f, 4), 264600);
    EXPECT_LE(264600, delay.line(0).capacity());
    p[DelaySync] = 1.0f;
    p[DelayTime] = 10.5f / 18.0f;  // "1/4"
    EXPECT_EQ(delay.delaySamples(p.data(), 120.0f, 4), 22050);
    Output out = renderImpulse(delay, p, 22100);
    EXPECT_EQ(out.left[22049], 0.0f);
    EXPECT_GT(out.left[22050], 0.49f);
}

TEST(PingPongDelayTest, OddTimingInputsKeepTheLengthInsideTheLine) {
    PingPongDelay delay;
    delay.prepare(kFs);
    EffectParams p = echoParams();
    int capacity = delay.line(0).capacity();
    for (float sync : {0.0f, 1.0f}) {
        p[DelaySync] = sync;
        for (float time : {kNaN, kInf, -kInf, -5.0f, 5.0f, 0.0f, 1.0f}) {
            p[DelayTime] = time;
            for (float tempo : {kNaN, kInf, -120.0f, 0.0f, 1e-30f, 1e30f, 120.0f}) {
                for (int den : {0, -4, 4, INT_MAX, INT_MIN}) {
                    int n = delay.delaySamples(p.data(), tempo, den);
                    ASSERT_GE(n, 1);
                    ASSERT_LE(n, capacity);
                }
            }
        }
    }
    p[DelayTime] = kNaN;
    Output out = renderImpulse(delay, p, 600);
    for (float v : out.left) ASSERT_TRUE(std::isfinite(v));
}

TEST(PingPongDelayTest, NoFeedbackGivesExactlyOneEchoFromTheLeftLine) {
    PingPongDelay delay;
    delay.prepare(kFs);
    EffectParams p = echoParams();
    Output out = renderImpulse(delay, p, 2000);
    EXPECT_EQ(out.left[0], 0.5f);  // dry at mix 0.5, the echo not yet there
    for (int i = 1; i < 441; ++i) ASSERT_EQ(out.left[i], 0.0f) << i;
    EXPECT_GT(out.left[441], 0.49f);  // the left echo through the 10 Hz low cut
    for (int i = 1; i < 2000; ++i) ASSERT_EQ(out.right[i], 0.0f) << i;  // width 0: right line only
    for (int i = 442; i < 2000; ++i) ASSERT_LT(std::fabs(out.left[i]), 0.01f) << i;

    p[DelayWidth] = 0.5f;
    PingPongDelay centred;
    centred.prepare(kFs);
    Output mid = renderImpulse(centred, p, 500);
    EXPECT_EQ(mid.left[441], mid.right[441]);
}

TEST(PingPongDelayTest, FeedbackAlternatesBetweenTheLines) {
    PingPongDelay delay;
    delay.prepare(kFs);
    EffectParams p = echoParams();
    p[DelayFeedback] = 0.5f;
    p[DelayLoCut] = 0.0f;
    Output out = renderImpulse(delay, p, 1400);
    EXPECT_GT(out.left[441], 0.49f);
    EXPECT_GT(out.right[882], 0.24f);  // F * fb from the right line
    EXPECT_LT(std::fabs(out.left[882]), 0.01f);
    float third = 0.0f;  // back into the left line, one sample later for the hand-over
    for (int i = 1320; i < 1330; ++i) third = std::fmax(third, out.left[i]);
    EXPECT_GT(third, 0.12f);
}

TEST(PingPongDelayTest, SwitchingOffAndOnAndMovingTheTimeStartFromSilence) {
    PingPongDelay delay;
    delay.prepare(kFs);
    EffectParams p = echoParams();
    p[DelayFeedback] = 0.9f;
    renderImpulse(delay, p, 1000);
    EXPECT_TRUE(delay.line(0).dirty());
    p[DelayMix] = 0.0f;
    delay.beginBlock(p.data(), 120.0f, 4);
    EXPECT_FALSE(delay.line(0).dirty());
    p[DelayMix] = 1.0f;
    Output out = renderImpulse(delay, p, 1500, 0.0f);
    for (size_t i = 0; i < out.left.size(); ++i) ASSERT_EQ(out.left[i] + out.right[i], 0.0f) << i;

    renderImpulse(delay, p, 300);  // echoes pending at 441
    p[DelayTime] = 0.1f;
    Output moved = renderImpulse(delay, p, 1500, 0.0f);
    for (size_t i = 0; i < moved.left.size(); ++i) ASSERT_LT(std::fabs(moved.left[i]), 1e-3f) << i;
}

TEST(PingPongDelayTest, BrokenMixFeedbackAndLowCutStayFinite) {
    PingPongDelay delay;
    delay.prepare(kFs);
    EffectParams p = echoParams();
    for (float bad : {kNaN, kInf, 1e30f, -1e30f}) {
        p[DelayFeedback] = p[DelayLoCut] = p[DelayWidth] = bad;
        p[DelayMix] = bad == bad ? bad : 1.0f;
        Output out = renderImpulse(delay, p, 3000, 0.8f);
        for (size_t i = 0; i < out.left.size(); ++i) {
            ASSERT_TRUE(std::isfinite(out.left[i]) && std::isfinite(out.right[i])) << bad;
            ASSERT_LT(std::fabs(out.left[i]), 4.0f) << bad;
        }
    }
}

}  // namespace tvx
