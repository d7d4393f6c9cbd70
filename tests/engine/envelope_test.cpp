#include "engine/envelope.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

constexpr float kFs = 44100.0f;

Envelope makeEnvelope(float attack, float decay, float sustain, float release) {
    Envelope env;
    env.prepare(kFs);
    env.reset();
    env.setSustain(sustain);
    env.setTimes(attack, decay, release);
    return env;
}

// Samples until the envelope leaves `state` (capped, so a broken envelope fails instead of hanging).
int samplesInState(Envelope& env, int state) {
    int n = 0;
    while (env.state == state && n < 10000000) {
        env.process();
        ++n;
    }
    return n;
}

}  // namespace

TEST(Envelope, ZeroAttackReachesFullLevelOnFirstSample) {
    Envelope env = makeEnvelope(0.0f, 0.5f, 0.5f, 0.5f);
    env.start();
    EXPECT_FLOAT_EQ(env.process(), 1.0f);
    EXPECT_EQ(env.state, Envelope::Decay);
}

TEST(Envelope, FullSustainEndsTheDecayAtOnce) {
    Envelope env = makeEnvelope(0.0f, 1.0f, 1.0f, 0.5f);
    env.start();
    env.process();
    EXPECT_FLOAT_EQ(env.process(), 1.0f);
    EXPECT_EQ(env.state, Envelope::Sustain);
}

TEST(Envelope, SegmentsLastTheirNominalLength) {
    // Attack 0.5 and decay to sustain 0 both last 20 s * 0.125 = 2.5 s. The single-precision
    // coefficients sit so close to 1 that the count is only good to a fraction of a percent.
    Envelope env = makeEnvelope(0.5f, 0.5f, 0.0f, 0.0f);
    const float expected = 2.5f * kFs;
    env.start();
    EXPECT_NEAR(samplesInState(env, Envelope::Attack), expected, expected * 0.01f);
    EXPECT_FLOAT_EQ(env.level, 1.0f);
    EXPECT_NEAR(samplesInState(env, Envelope::Decay), expected, expected * 0.01f);
    EXPECT_FLOAT_EQ(env.level, 0.0f);
}

TEST(Envelope, FullReleaseTakesTwentySecondsToSilence) {
    Envelope env = makeEnvelope(0.0f, 0.0f, 1.0f, 1.0f);
    EXPECT_FLOAT_EQ(env.releaseLength, 20.0f * kFs);
    env.start();
    env.process();
    env.process();
    env.release();
    const float expected = 20.0f * kFs;
    EXPECT_NEAR(samplesInState(env, Envelope::Release), expected, expected * 0.01f);
    EXPECT_EQ(env.state, Envelope::Idle);
    EXPECT_EQ(env.level, 0.0f);
}

TEST(Envelope, SustainIsSmoothedAfterTheFirstValue) {
    Envelope env = makeEnvelope(0.0f, 0.0f, 0.8f, 0.0f);
    EXPECT_FLOAT_EQ(env.sustain, 0.8f);  // first value after a reset is taken at once
    env.start();
    env.process();
    env.setSustain(0.8f);
    env.process();
    ASSERT_EQ(env.state, Envelope::Sustain);
    env.setSustain(0.2f);
    float level = env.process();
    EXPECT_LT(level, 0.8f);
    EXPECT_GT(level, 0.7f);
    for (int i = 0; i < 44100; ++i) {
        env.setSustain(0.2f);
        level = env.process();
    }
    EXPECT_NEAR(level, 0.2f, 1e-4f);
}

TEST(Envelope, StartReleaseAndResetActOnTheState) {
    Envelope env = makeEnvelope(0.5f, 0.5f, 0.5f, 0.5f);
    env.release();
    EXPECT_EQ(env.state, Envelope::Idle);  // an idle envelope stays idle

    env.start();
    for (int i = 0; i < 1000; ++i) env.process();
    float partway = env.level;
    ASSERT_GT(partway, 0.0f);
    env.start();  // re-attack continues from the present level
    EXPECT_EQ(env.state, Envelope::Attack);
    EXPECT_GT(env.process(), partway);

    env.release();
    EXPECT_EQ(env.state, Envelope::Release);
    EXPECT_LT(env.process(), partway + 0.1f);

    env.reset();
    EXPECT_EQ(env.state, Envelope::Idle);
    EXPECT_EQ(env.level, 0.0f);
    env.setSustain(0.3f);
    EXPECT_FLOAT_EQ(env.sustain, 0.3f);  // the smoother jumped
}

TEST(Envelope, BrokenTimesAndSustainStayFinite) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    Envelope env = makeEnvelope(nan, -inf, nan, 1e30f);
    EXPECT_EQ(env.attackCoeff, 0.0f);  // NaN time counts as 0
    EXPECT_EQ(env.decayCoeff, 0.0f);
    EXPECT_FLOAT_EQ(env.releaseLength, 20.0f * kFs);  // huge time is the longest
    EXPECT_EQ(env.sustain, 0.0f);
    env.start();
    for (int i = 0; i < 10; ++i) {
        env.setSustain(nan);
        EXPECT_TRUE(std::isfinite(env.process()));
    }
    EXPECT_EQ(env.state, Envelope::Sustain);

    Envelope badRate;
    badRate.prepare(nan);
    badRate.setTimes(1.0f, 1.0f, 1.0f);
    EXPECT_FLOAT_EQ(badRate.attackLength, 20.0f * 44100.0f);
}
