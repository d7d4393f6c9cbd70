#include "engine/envelope.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace tvx {

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

int samplesInState(Envelope& env, int state) {
    int n = 0;
    for (; env.state == state && n < 100000000; ++n) env.process();
    return n;
}

}  // namespace

TEST(Envelope, InstantAttackAndFullSustain) {
    Envelope env = makeEnvelope(0.0f, 1.0f, 1.0f, 0.5f);
    env.start();
    EXPECT_FLOAT_EQ(env.process(), 1.0f);
    EXPECT_EQ(env.state, Envelope::Decay);
    EXPECT_FLOAT_EQ(env.process(), 1.0f);  // already at sustain: decay ends at once
    EXPECT_EQ(env.state, Envelope::Sustain);
}

TEST(Envelope, SegmentsLastTheirNominalLength) {
    // Single-precision coefficients this close to 1 make the count good to a fraction of a percent.
    Envelope env = makeEnvelope(0.5f, 0.0f, 1.0f, 1.0f);
    env.start();
    EXPECT_NEAR(samplesInState(env, Envelope::Attack), 2.5f * kFs, 0.01f * 2.5f * kFs);
    env.process();
    env.release();
    EXPECT_NEAR(samplesInState(env, Envelope::Release), 20.0f * kFs, 0.01f * 20.0f * kFs);
    EXPECT_EQ(env.state, Envelope::Idle);
    EXPECT_EQ(env.level, 0.0f);
}

TEST(Envelope, StateChangesAndSmoothedSustain) {
    Envelope env = makeEnvelope(0.5f, 0.0f, 0.8f, 0.5f);
    env.release();
    EXPECT_EQ(env.state, Envelope::Idle);  // an idle envelope stays idle
    env.start();
    for (int i = 0; i < 1000; ++i) env.process();
    float partway = env.level;
    env.start();  // a re-attack continues from the present level
    EXPECT_GT(env.process(), partway);
    while (env.state != Envelope::Sustain) env.process();
    env.setSustain(0.2f);
    float level = env.process();
    EXPECT_GT(level, 0.7f);  // sustain glides, it does not jump
    EXPECT_LT(level, 0.8f);
    env.reset();
    EXPECT_EQ(env.state, Envelope::Idle);
    EXPECT_EQ(env.level, 0.0f);
    env.setSustain(0.3f);
    EXPECT_FLOAT_EQ(env.sustain, 0.3f);  // after a reset the smoother jumps
}

TEST(Envelope, BrokenInputsStayFinite) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    Envelope env = makeEnvelope(nan, -1e30f, nan, 1e30f);
    EXPECT_EQ(env.attackCoeff, 0.0f);  // NaN time counts as 0
    EXPECT_EQ(env.decayCoeff, 0.0f);
    EXPECT_DOUBLE_EQ(env.releaseLength, 20.0 * static_cast<double>(kFs));
    env.start();
    for (int i = 0; i < 10; ++i) {
        env.setSustain(nan);
        ASSERT_TRUE(std::isfinite(env.process()));
    }
    EXPECT_EQ(env.state, Envelope::Sustain);
    Envelope badRate;
    badRate.prepare(nan);
    badRate.setTimes(1.0f, 1.0f, 1.0f);
    EXPECT_DOUBLE_EQ(badRate.attackLength, 20.0 * 44100.0);
}

// The longest attack (20 s) lasts its 20 s at every rate; with float
// arithmetic it ended after 96 % of it at 44.1 kHz and 89 % at 96 kHz.
TEST(Envelope, LongestSegmentsLastTheirTimeAtEveryRate) {
    for (float fs : {44100.0f, 96000.0f, 192000.0f}) {
        Envelope env;
        env.prepare(fs);
        env.reset();
        env.setSustain(0.0f);
        env.setTimes(1.0f, 1.0f, 1.0f);
        env.start();
        EXPECT_NEAR(samplesInState(env, Envelope::Attack), 20.0f * fs, 0.001f * 20.0f * fs) << fs;
        EXPECT_NEAR(samplesInState(env, Envelope::Decay), 20.0f * fs, 0.001f * 20.0f * fs) << fs;
    }
}

// Release 0 stops within 1 ms along a straight line, at every rate and from
// any level; the shortest release above it keeps its exponential curve.
TEST(Envelope, ReleaseZeroFallsWithinOneMillisecond) {
    for (float fs : {44100.0f, 768000.0f}) {
        for (float sustain : {1.0f, 0.3f}) {
            Envelope env;
            env.prepare(fs);
            env.reset();
            env.setSustain(sustain);
            env.setTimes(0.0f, 0.0f, 0.0f);
            env.start();
            while (env.state != Envelope::Sustain) env.process();
            env.release();
            double previous = env.level;
            int samples = 0;
            while (env.state == Envelope::Release) {
                env.process();
                ++samples;
                EXPECT_LE(previous - env.level, 1000.0 / static_cast<double>(fs) + 1e-12);
                previous = env.level;
            }
            EXPECT_EQ(env.level, 0.0);
            EXPECT_LE(samples, static_cast<int>(std::ceil(0.001 * static_cast<double>(fs))) + 1) << fs;
            EXPECT_GE(samples, static_cast<int>(sustain * 0.001f * fs)) << fs;
        }
    }
    Envelope shortest = makeEnvelope(0.0f, 0.0f, 1.0f, 0.01f);
    EXPECT_DOUBLE_EQ(shortest.releaseCoeff,
                     Envelope::segmentCoeff((1.0 + 0.01) / 0.01, Envelope::segmentLength(0.01f, kFs)));
}

}  // namespace tvx
