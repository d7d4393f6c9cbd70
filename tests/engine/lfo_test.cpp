#include "engine/lfo.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

constexpr float kFs = 44100.0f;
constexpr float kTwoPi = 6.2831853f;

Lfo makeLfo(float menuType, float fs = kFs) {
    Lfo lfo;
    lfo.prepare(fs);
    lfo.setShape(menuType);
    lfo.setOffset(0.5f);
    lfo.setAttack(0.0f);
    lfo.restart(0.0f);
    return lfo;
}

// Shape value at a given phase, with full depth and no offset.
float valueAt(int shape, float phase) {
    Lfo lfo = makeLfo(0.0f);
    lfo.shape = shape;
    lfo.phase = phase;
    lfo.increment = 0.0f;
    return lfo.process();
}

}  // namespace

TEST(Lfo, MenuValuesMapToShapeCodes) {
    const int expected[] = {Lfo::Triangle, Lfo::Sine, Lfo::Square, Lfo::SawDown,
                            Lfo::RandomHold, Lfo::RandomGlide, Lfo::RandomPulse};
    for (int menu = 0; menu < Lfo::kNumMenuShapes; ++menu)
        EXPECT_EQ(Lfo::shapeFromMenu(static_cast<float>(menu)), expected[menu]) << menu;
    EXPECT_EQ(Lfo::shapeFromMenu(-3.0f), Lfo::Triangle);
    EXPECT_EQ(Lfo::shapeFromMenu(99.0f), Lfo::RandomPulse);
    EXPECT_EQ(Lfo::shapeFromMenu(1e30f), Lfo::RandomPulse);
    EXPECT_EQ(Lfo::shapeFromMenu(std::numeric_limits<float>::quiet_NaN()), Lfo::Triangle);
}

TEST(Lfo, ShapesHaveTheirWaveforms) {
    const float pi = kTwoPi / 2;
    EXPECT_NEAR(valueAt(Lfo::Sine, pi / 2), 0.5f, 1e-6f);
    EXPECT_NEAR(valueAt(Lfo::Cosine, pi), -0.5f, 1e-6f);
    EXPECT_NEAR(valueAt(Lfo::Triangle, 0.0f), 0.0f, 1e-6f);
    EXPECT_NEAR(valueAt(Lfo::Triangle, pi / 2), 0.5f, 1e-6f);
    EXPECT_NEAR(valueAt(Lfo::Triangle, pi), 0.0f, 1e-6f);
    EXPECT_NEAR(valueAt(Lfo::Triangle, 1.5f * pi), -0.5f, 1e-6f);
    EXPECT_EQ(valueAt(Lfo::Square, 1.0f), 0.5f);
    EXPECT_EQ(valueAt(Lfo::Square, 4.0f), -0.5f);
    EXPECT_NEAR(valueAt(Lfo::SawDown, 0.0f), 0.5f, 1e-6f);
    EXPECT_NEAR(valueAt(Lfo::SawDown, pi), 0.0f, 1e-6f);
    EXPECT_NEAR(valueAt(Lfo::SawUp, 0.0f), -0.5f, 1e-6f);
}

TEST(Lfo, FreeRateSpansHundredthToTwentyHertz) {
    Lfo lfo = makeLfo(0.0f);
    lfo.setRate(1.0f, false, 120.0f, 4);
    EXPECT_NEAR(lfo.period, kFs / 20.0f, 0.01f);
    lfo.setRate(0.0f, false, 120.0f, 4);
    EXPECT_NEAR(lfo.period, kFs / 0.01f, 1.0f);
    EXPECT_NEAR(lfo.increment, kTwoPi / lfo.period, 1e-12f);
}

TEST(Lfo, SyncedRateFollowsTempoAndDivision) {
    Lfo lfo = makeLfo(0.0f);
    // Division 9 is (1, 1): one cycle per four quarter notes, 2 s at 120 BPM.
    lfo.setRate(9.5f / 26.0f, true, 120.0f, 4);
    EXPECT_NEAR(lfo.period, 2.0f * kFs, 1.0f);
    // Above 25/26 the fastest division, 32 cycles per triplet bar.
    lfo.setRate(1.0f, true, 120.0f, 4);
    EXPECT_NEAR(Lfo::frequencyHz(1.0f, true, 120.0f, 4), 24.0f, 1e-3f);
    EXPECT_NEAR(lfo.period, kFs / 24.0f, 0.01f);
}

TEST(Lfo, ExtremeRateInputsKeepAFinitePeriod) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const float rates[] = {nan, -1.0f, 0.0f, 1.0f, 1e30f, inf};
    const float tempos[] = {nan, 0.0f, -120.0f, 1e-30f, 1e30f, inf, 120.0f};
    const int denominators[] = {0, -4, 4, 1 << 30};
    for (float rate : rates)
        for (float tempo : tempos)
            for (int den : denominators)
                for (bool sync : {false, true}) {
                    Lfo lfo = makeLfo(1.0f);
                    lfo.setRate(rate, sync, tempo, den);
                    ASSERT_GE(lfo.period, Lfo::kMinPeriod) << rate << " " << tempo << " " << den;
                    ASSERT_LE(lfo.period, Lfo::kMaxPeriod) << rate << " " << tempo << " " << den;
                    ASSERT_TRUE(std::isfinite(lfo.increment));
                    for (int i = 0; i < 4; ++i) ASSERT_TRUE(std::isfinite(lfo.process()));
                }
}

TEST(Lfo, RandomHoldNeverRepeatsOnConsecutiveCycles) {
    std::srand(7);
    Lfo lfo = makeLfo(4.0f, 1000.0f);
    lfo.setRate(1.0f, false, 120.0f, 4);  // 50 samples per cycle
    float previous = lfo.process();
    int changes = 0;
    for (int i = 0; i < 50 * 2000; ++i) {
        float v = lfo.process();
        ASSERT_GE(v, -0.5f);
        ASSERT_LE(v, 0.5f);
        if (v != previous) ++changes;
        previous = v;
    }
    EXPECT_EQ(changes, 2000);  // exactly one new, different value per cycle
}

TEST(Lfo, RandomGlideArrivesAtTheNextValueAndStaysInRange) {
    std::srand(11);
    Lfo lfo = makeLfo(5.0f, 1000.0f);
    lfo.setRate(1.0f, false, 120.0f, 4);
    float target = lfo.nextValue;
    while (lfo.nextValue == target) lfo.process();
    EXPECT_NEAR(lfo.heldValue, target, 0.02f);

    lfo.process();
    lfo.setRate(0.0f, false, 120.0f, 4);  // much slower in mid-glide: no overshoot
    for (int i = 0; i < 5000; ++i) {
        float v = lfo.process();
        ASSERT_GE(v, -0.5f);
        ASSERT_LE(v, 0.5f);
    }
}

TEST(Lfo, FadeInAndOffset) {
    Lfo lfo = makeLfo(2.0f);  // square, +0.5 at the start
    lfo.setRate(0.0f, false, 120.0f, 4);
    EXPECT_FLOAT_EQ(lfo.process(), 0.5f);  // no attack: full depth on the first sample

    lfo.setAttack(1.0f);
    EXPECT_FLOAT_EQ(lfo.fadeIncrement, 1.0f / (20.0f * kFs));
    lfo.setAttack(0.5f);
    lfo.setOffset(1.0f);
    lfo.restart(0.0f);
    EXPECT_EQ(lfo.fadeLevel, 0.0f);
    float first = lfo.process();
    EXPECT_NEAR(first, 1.0f / (5.0f * kFs), 1e-9f);  // (0.5 + 0.5) * one fade step
    for (int i = 0; i < 5 * 44100; ++i) lfo.process();
    EXPECT_NEAR(lfo.process(), 1.0f, 1e-3f);

    lfo.setOffset(std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(lfo.offset, 0.0f);
}

TEST(Lfo, RestartSetsPhaseFromItsParameter) {
    Lfo lfo = makeLfo(0.0f);
    lfo.restart(0.25f);
    EXPECT_NEAR(lfo.phase, kTwoPi / 4.0f, 1e-6f);
    lfo.restart(std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(lfo.phase, 0.0f);
    lfo.restart(7.0f);
    EXPECT_LE(lfo.phase, kTwoPi);
}

TEST(Lfo, PreparedStateSuitsAGlobalLfo) {
    Lfo lfo;
    lfo.prepare(48000.0f);
    EXPECT_EQ(lfo.shape, Lfo::Sine);
    EXPECT_EQ(lfo.phase, 0.0f);
    EXPECT_EQ(lfo.period, 48000.0f);
    EXPECT_EQ(lfo.fadeLevel, 0.0f);
    EXPECT_EQ(lfo.fadeIncrement, 1.0f);
    lfo.process();
    EXPECT_EQ(lfo.fadeLevel, 1.0f);  // never restarted, so it must not fade in

    lfo.prepare(std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(lfo.sampleRate, 44100.0f);
}
