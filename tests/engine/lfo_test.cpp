#include "engine/lfo.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>

namespace tvx {

namespace {

constexpr float kFs = 44100.0f;
constexpr float kPi = 3.14159265f;
const float kNaN = std::numeric_limits<float>::quiet_NaN();
const float kInf = std::numeric_limits<float>::infinity();

RandomSource lfoRandom(7);

Lfo makeLfo(float menuType, float fs = kFs) {
    Lfo lfo;
    lfo.random = &lfoRandom;
    lfo.prepare(fs);
    lfo.setShape(menuType);
    lfo.setOffset(0.5f);
    lfo.setAttack(0.0f);
    lfo.restart(0.0f);
    return lfo;
}

}  // namespace

TEST(Lfo, MenuValuesAndShapes) {
    const int expected[] = {Lfo::Triangle, Lfo::Sine, Lfo::Square, Lfo::SawDown,
                            Lfo::RandomHold, Lfo::RandomGlide, Lfo::RandomPulse};
    for (int menu = 0; menu < Lfo::kNumMenuShapes; ++menu)
        EXPECT_EQ(Lfo::shapeFromMenu(static_cast<float>(menu)), expected[menu]);
    EXPECT_EQ(Lfo::shapeFromMenu(-3.0f), Lfo::Triangle);
    EXPECT_EQ(Lfo::shapeFromMenu(1e30f), Lfo::RandomPulse);
    EXPECT_EQ(Lfo::shapeFromMenu(kNaN), Lfo::Triangle);

    struct Point { int shape; float phase; float value; };
    const Point points[] = {{Lfo::Triangle, kPi / 2, 0.5f}, {Lfo::Triangle, 1.5f * kPi, -0.5f},
                            {Lfo::Cosine, kPi, -0.5f},      {Lfo::Square, 4.0f, -0.5f},
                            {Lfo::SawDown, 0.0f, 0.5f},     {Lfo::SawUp, 0.0f, -0.5f}};
    for (const Point& p : points) {
        Lfo lfo = makeLfo(0.0f);
        lfo.shape = p.shape;
        lfo.phase = p.phase;
        EXPECT_NEAR(lfo.process(), p.value, 1e-6f) << p.shape;
    }
}

TEST(Lfo, FreeAndSyncedRates) {
    Lfo lfo = makeLfo(0.0f);
    lfo.setRate(1.0f, false, 120.0f, 4);
    EXPECT_NEAR(lfo.period, kFs / 20.0f, 0.01f);
    lfo.setRate(0.0f, false, 120.0f, 4);
    EXPECT_NEAR(lfo.period, kFs / 0.01f, 1.0f);
    lfo.setRate(9.5f / 26.0f, true, 120.0f, 4);  // division (1, 1): one cycle per 2 s
    EXPECT_NEAR(lfo.period, 2.0f * kFs, 1.0f);
    lfo.setRate(1.0f, true, 120.0f, 4);  // the fastest division, 32 per triplet bar
    EXPECT_NEAR(lfo.period, kFs / 24.0f, 0.01f);
}

TEST(Lfo, ExtremeRateInputsKeepAFinitePeriod) {
    for (float rate : {kNaN, -1.0f, 1.0f, kInf})
        for (float tempo : {kNaN, 0.0f, -120.0f, 1e-30f, 1e30f, kInf})
            for (int den : {0, -4, 4, 1 << 30})
                for (bool sync : {false, true}) {
                    Lfo lfo = makeLfo(1.0f);
                    lfo.setRate(rate, sync, tempo, den);
                    ASSERT_GE(lfo.period, Lfo::kMinPeriod) << tempo << " " << den;
                    ASSERT_LE(lfo.period, Lfo::kMaxPeriod) << tempo << " " << den;
                    for (int i = 0; i < 3; ++i) ASSERT_TRUE(std::isfinite(lfo.process()));
                }
}

TEST(Lfo, RandomShapes) {
    lfoRandom.seed(7);
    Lfo hold = makeLfo(4.0f, 1000.0f);
    hold.setRate(1.0f, false, 120.0f, 4);  // 50 samples per cycle
    float previous = hold.process();
    int changes = 0;
    for (int i = 0; i < 50 * 2000; ++i) {
        float v = hold.process();
        changes += v != previous;
        previous = v;
    }
    EXPECT_EQ(changes, 2000);  // every cycle brings a different value

    Lfo glide = makeLfo(5.0f, 1000.0f);
    glide.setRate(1.0f, false, 120.0f, 4);
    float target = glide.nextValue;
    while (glide.nextValue == target) glide.process();
    EXPECT_NEAR(glide.heldValue, target, 0.02f);  // arrives at its goal by the cycle end
    glide.process();
    glide.setRate(0.0f, false, 120.0f, 4);  // far slower in mid-glide: no overshoot
    for (int i = 0; i < 5000; ++i) ASSERT_LE(std::fabs(glide.process()), 0.5f);
}

TEST(Lfo, FadeInOffsetAndRestart) {
    Lfo lfo = makeLfo(2.0f);  // square, +0.5 at the start
    EXPECT_FLOAT_EQ(lfo.process(), 0.5f);  // no attack: full depth on the first sample
    lfo.setAttack(0.5f);
    lfo.setOffset(1.0f);
    lfo.restart(0.0f);
    EXPECT_NEAR(lfo.process(), 1.0f / (5.0f * kFs), 1e-9f);  // (0.5 + 0.5) * one fade step
    lfo.setOffset(kNaN);
    EXPECT_EQ(lfo.offset, 0.0f);
    lfo.restart(0.25f);
    EXPECT_NEAR(lfo.phase, kPi / 2, 1e-6f);
    lfo.restart(kNaN);
    EXPECT_EQ(lfo.phase, 0.0f);
}

TEST(Lfo, PreparedStateSuitsAGlobalLfo) {
    Lfo lfo;
    lfo.prepare(48000.0f);
    EXPECT_EQ(lfo.period, 48000.0f);
    EXPECT_EQ(lfo.fadeLevel, 0.0f);
    lfo.process();
    EXPECT_EQ(lfo.fadeLevel, 1.0f);  // never restarted by notes, so it must not fade in
    lfo.prepare(kNaN);
    EXPECT_EQ(lfo.sampleRate, 44100.0f);
}

}  // namespace tvx

namespace tvx {

// Side by side, each LFO ends where it would alone: fading in or not, with
// draws of its own random source.
TEST(Lfo, SideBySideMatchesEachAlone) {
    for (float attack : {0.0f, 0.02f}) {
        RandomSource togetherRandom[3] = {RandomSource(1), RandomSource(2), RandomSource(3)};
        RandomSource aloneRandom[3] = {RandomSource(1), RandomSource(2), RandomSource(3)};
        Lfo together[3], alone[3];
        const float menus[3] = {0.0f, 4.0f, 6.0f};   // triangle, random hold, random pulse
        for (int l = 0; l < 3; ++l) {
            Lfo lfo;
            lfo.prepare(kFs);
            lfo.setShape(menus[l]);
            lfo.setRate(0.7f + 0.1f * l, false, 120.0f, 4);
            lfo.setOffset(0.5f);
            lfo.setAttack(attack);
            together[l] = alone[l] = lfo;
            together[l].random = &togetherRandom[l];
            alone[l].random = &aloneRandom[l];
            together[l].restart(0.25f);
            alone[l].restart(0.25f);
        }
        for (int run = 0; run < 40; ++run) {
            float outputs[3];
            Lfo::advanceSideBySide(together, 3, 65, outputs);
            for (int l = 0; l < 3; ++l) {
                ASSERT_EQ(outputs[l], alone[l].advance(65)) << "attack " << attack << ", run " << run << ", lfo " << l;
                ASSERT_EQ(together[l].fadeLevel, alone[l].fadeLevel);
            }
        }
    }
}

}  // namespace tvx
