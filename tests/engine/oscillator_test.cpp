#include "engine/oscillator.h"

#include "dsp/simd.h"

#include "params/modulation_codes.h"
#include "params/parameter_id.h"
#include "params/parameter_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace tvx {

namespace {

class OscillatorTest : public ::testing::Test {
protected:
    void SetUp() override {
        fillDefaultValues(params);
        params[Osc1Type] = Oscillator::Wave;
        params[Osc1Pan] = 0.5f;
        params[Osc1Vol] = 1.0f;
        params[Osc1UniMix] = 0.0f;
        tables.build(44100.0f);
        Oscillator::prepareTables(tables);
        osc.random = &random;
        osc.prepare(44100.0f, &tables);
        osc.resetPhase(0.0f);
    }

    // Renders `count` samples; the control step runs every 65 samples as in a voice.
    void render(int count, std::vector<float>& left, std::vector<float>& right, float semitones = 0.0f) {
        left.resize(count);
        right.resize(count);
        for (int i = 0; i < count; ++i) {
            if (i % 65 == 0) osc.controlStep(params, T, 0, semitones, 440.0f);
            osc.render(params, T, 0, left[i], right[i]);
        }
    }

    float params[kNumParameters];
    float T[kNumModTargets] = {};
    WtCollection tables;
    Oscillator osc;
    RandomSource random{7};
};

}  // namespace

TEST_F(OscillatorTest, IncrementFollowsPitchAndReference) {
    osc.controlStep(params, T, 0, 0.0f, 440.0f);
    EXPECT_FLOAT_EQ(osc.increment(), 440.0f / 44100.0f);
    osc.controlStep(params, T, 0, 12.0f, 440.0f);
    EXPECT_FLOAT_EQ(osc.increment(), 880.0f / 44100.0f);
    osc.controlStep(params, T, 0, -12.0f, 390.0f);
    EXPECT_FLOAT_EQ(osc.increment(), 195.0f / 44100.0f);

    osc.prepare(96000.0f, &tables);
    osc.controlStep(params, T, 0, 0.0f, 440.0f);
    EXPECT_FLOAT_EQ(osc.increment(), 440.0f / 96000.0f);

    // Clamped to 0..1 cycles per sample, NaN to 0.
    osc.controlStep(params, T, 0, 500.0f, 440.0f);
    EXPECT_EQ(osc.increment(), 1.0f);
    for (float semitones : {NAN, -INFINITY}) {
        osc.controlStep(params, T, 0, semitones, 440.0f);
        EXPECT_EQ(osc.increment(), 0.0f);
    }
    osc.controlStep(params, T, 0, INFINITY, 0.0f);
    EXPECT_EQ(osc.increment(), 0.0f);
    osc.controlStep(params, T, 0, 0.0f, NAN);
    EXPECT_EQ(osc.increment(), 0.0f);
}

TEST_F(OscillatorTest, UnisonCountZeroWithMixSoundsTwoDetunedOscillators) {
    params[Osc1UniCount] = 0.0f;
    params[Osc1UniMix] = 0.6f;
    params[Osc1UniDet] = 0.5f;
    osc.controlStep(params, T, 0, 0.0f, 440.0f);
    const float inc = 440.0f / 44100.0f;
    ASSERT_EQ(osc.unisonCount(), 1);
    EXPECT_FLOAT_EQ(osc.unisonIncrement(0), inc * (1.0f + 0.25f * 0.01991221f));
    EXPECT_FLOAT_EQ(osc.increment(), inc * (1.0f - 0.25f * 0.01952356f * 0.36f));

    params[Osc1UniCount] = 1.0f;  // eight copies, an even count: the main keeps its pitch
    osc.controlStep(params, T, 0, 0.0f, 440.0f);
    EXPECT_EQ(osc.unisonCount(), 8);
    EXPECT_FLOAT_EQ(osc.increment(), inc);
    EXPECT_FLOAT_EQ(osc.unisonIncrement(7), inc * (1.0f - 0.25f * 0.16924234f));
}

TEST_F(OscillatorTest, UnisonMixZeroLeavesTheMainAloneAndCentred) {
    params[Osc1UniCount] = 0.0f;
    params[Osc1UniDet] = 1.0f;
    params[Osc1UniSprd] = 1.0f;
    std::vector<float> l, r;
    render(500, l, r);
    EXPECT_FLOAT_EQ(osc.increment(), 440.0f / 44100.0f);
    for (int i = 0; i < 500; ++i) ASSERT_EQ(l[i], r[i]) << i;

    // With the mix up, spread moves the copies and the main apart.
    params[Osc1UniMix] = 1.0f;
    osc.jumpSmoothers();
    render(500, l, r);
    float difference = 0;
    for (int i = 0; i < 500; ++i) difference += std::fabs(l[i] - r[i]);
    EXPECT_GT(difference, 10.0f);
}

TEST_F(OscillatorTest, WavePositionsSelectAndMixRows) {
    struct Case { float position; int rowA; int rowB; float weight; };
    const Case cases[] = {{0.5f, 0, 0, 0.0f}, {0.125f, 1, 2, 0.5f}, {1.0f, 1, 1, 0.0f},
                          {0.0f, 1, 1, 0.0f}, {0.625f, 0, 3, 0.5f}, {0.25f, 2, 2, 0.0f}};
    for (const Case& c : cases) {
        params[Osc1Pos] = c.position;
        osc.resetPhase(0.1f);
        osc.jumpSmoothers();
        std::vector<float> l, r;
        render(300, l, r);
        const float inc = 440.0f / 44100.0f;
        const WtLevel& a = tables.findLevel(c.rowA, inc);
        const WtLevel& b = tables.findLevel(c.rowB, inc);
        float phase = 0.1f;
        for (int i = 0; i < 300; ++i) {
            const float expected = (1 - c.weight) * WtCollection::read(a, phase) + c.weight * WtCollection::read(b, phase);
            ASSERT_NEAR(l[i], 0.5f * expected, 1e-5f) << c.position << " " << i;
            phase += inc;
            if (phase >= 1.0f) phase -= 1.0f;
        }
    }
}

TEST_F(OscillatorTest, PulseHalfWidthIsSquareAndZeroWidthIsSilent) {
    params[Osc1Type] = Oscillator::Pulse;
    params[Osc1Pos] = 0.5f;
    std::vector<float> l, r;
    render(4410, l, r, -24.0f);  // 110 Hz: long flat halves
    int positive = 0, negative = 0;
    // The flat parts sit below the peak by the ramp's band-limit overshoot.
    for (float s : l) {
        if (std::fabs(s) > 0.4f) (s > 0 ? positive : negative)++;
        ASSERT_LT(std::fabs(s), 0.6f);
    }
    EXPECT_GT(positive + negative, 4000);
    EXPECT_NEAR(positive, negative, 100);

    params[Osc1Pos] = 0.0f;
    osc.jumpSmoothers();
    render(1000, l, r);
    for (float s : l) ASSERT_EQ(s, 0.0f);
}

TEST_F(OscillatorTest, FmWithoutModulationIsTheCarrierSine) {
    params[Osc1Type] = Oscillator::Fm;
    params[Osc1Mod1Amt] = 0.0f;
    params[Osc1Mod2Amt] = 0.0f;
    osc.resetPhase(0.25f);
    std::vector<float> l, r;
    render(1000, l, r);
    for (int i = 0; i < 1000; ++i)
        ASSERT_NEAR(l[i], 0.5 * std::sin(2.0 * M_PI * (0.25 + i * 440.0 / 44100.0)), 2e-4) << i;

    params[Osc1Mod1Amt] = 1.0f;
    params[Osc1Mod2Amt] = 1.0f;
    params[Osc1Mod1Ratio] = 1.0f;
    T[TgtOsc1Ratio2] = 50.0f;  // absurd ratio modulation stays bounded
    osc.jumpSmoothers();
    render(5000, l, r);
    float deviation = 0;
    for (int i = 0; i < 5000; ++i) {
        ASSERT_LE(std::fabs(l[i]), 0.5f + 1e-5f);
        deviation += std::fabs(l[i] - r[i]);
    }
    EXPECT_EQ(deviation, 0.0f);  // FM has no unison: always centred
}

// A modulator whose ratio is modulated below zero (-1.25 here) turns
// backwards and keeps modulating; held at phase 0 it left a plain sine.
TEST_F(OscillatorTest, FmWithANegativeRatioKeepsModulating) {
    params[Osc1Type] = Oscillator::Fm;
    params[Osc1Mod1Amt] = 1.0f;
    params[Osc1Mod2Amt] = 0.0f;
    params[Osc1Mod1Ratio] = 0.0f;
    T[TgtOsc1Ratio1] = -0.25f;  // ratio 1 + 9 * -0.25 = -1.25
    osc.resetPhase(0.25f);
    osc.jumpSmoothers();
    std::vector<float> l, r;
    render(2000, l, r);
    float deviation = 0.0f;
    for (int i = 0; i < 2000; ++i) {
        ASSERT_LE(std::fabs(l[i]), 0.5f + 1e-5f);
        const float carrier = 0.5f * static_cast<float>(std::sin(2.0 * M_PI * (0.25 + i * 440.0 / 44100.0)));
        deviation = std::max(deviation, std::fabs(l[i] - carrier));
    }
    EXPECT_GT(deviation, 0.2f);
}

TEST_F(OscillatorTest, PanAndVolumeAreLinearWithModulation) {
    params[Osc1Type] = Oscillator::Fm;
    params[Osc1Pan] = 0.25f;
    params[Osc1Vol] = 0.8f;
    T[TgtOsc1Vol] = 0.5f;  // clamps to 1
    std::vector<float> l, r;
    render(100, l, r);
    for (int i = 1; i < 100; ++i) EXPECT_NEAR(l[i] * 0.25f, r[i] * 0.75f, 1e-6f);
    EXPECT_NEAR(l[50], 0.75 * std::sin(2.0 * M_PI * 50 * 440.0 / 44100.0), 2e-4);
}

TEST_F(OscillatorTest, BadTypesAndParametersGiveFiniteOrSilentOutput) {
    for (float type : {NAN, -1.0f, 4.0f, 1e30f, INFINITY}) {
        params[Osc1Type] = type;
        std::vector<float> l, r;
        render(200, l, r);
        EXPECT_EQ(osc.type(), Oscillator::Off);
        for (int i = 0; i < 200; ++i) ASSERT_EQ(l[i] + r[i], 0.0f);
    }
    const int ids[] = {Osc1Pos, Osc1Pan, Osc1Vol, Osc1UniMix, Osc1UniCount, Osc1UniDet, Osc1UniSprd,
                       Osc1Mod1Amt, Osc1Mod1Ratio};
    for (float type : {1.0f, 2.0f, 3.0f}) {
        for (float bad : {NAN, INFINITY, -INFINITY, 1e30f, -5.0f}) {
            params[Osc1Type] = type;
            for (int id : ids) params[id] = bad;
            T[TgtOscPos] = bad;
            std::vector<float> l, r;
            render(200, l, r, bad);
            for (int i = 0; i < 200; ++i) ASSERT_TRUE(std::isfinite(l[i]) && std::isfinite(r[i]));
        }
    }
}

TEST_F(OscillatorTest, MissingOrEmptyTablesAreSilent) {
    osc.prepare(44100.0f, nullptr);
    std::vector<float> l, r;
    render(100, l, r);
    for (float s : l) ASSERT_EQ(s, 0.0f);

    tables.build(20.0f);
    osc.prepare(20.0f, &tables);
    params[Osc1Type] = Oscillator::Pulse;
    render(100, l, r);
    for (float s : l) ASSERT_EQ(s, 0.0f);
}

TEST_F(OscillatorTest, StartPhases) {
    osc.resetPhase(0.25f);
    EXPECT_EQ(osc.phase(), 0.25f);
    osc.resetPhase(-0.25f);
    EXPECT_EQ(osc.phase(), 0.75f);
    osc.resetPhase(NAN);
    EXPECT_EQ(osc.phase(), 0.0f);
    bool varied = false;
    for (int i = 0; i < 20; ++i) {
        osc.resetPhase(1.0f);
        EXPECT_GE(osc.phase(), 0.0f);
        EXPECT_LT(osc.phase(), 1.0f);
        varied = varied || osc.phase() != 0.0f;
    }
    EXPECT_TRUE(varied);
}

// Eight copies reading a moving position (two rows blended, across a slot
// boundary) with a moving spread, or a resting position on a filled slot (one
// row) with a resting spread: rendered a stretch
// at a time (from the row pairs with AVX2 where the processor has it) or
// sample by sample with SSE2 only, the sound is the same bit for bit.
TEST_F(OscillatorTest, UnisonStretchesSoundAsSampleBySample) {
    params[Osc1UniCount] = 1.0f;
    params[Osc1UniMix] = 0.6f;
    params[Osc1UniDet] = 0.4f;
    params[Osc1UniSprd] = 0.7f;
    for (const float sway : {0.1f, 0.0f}) {
        params[Osc1Pos] = sway > 0.0f ? 0.3f : 0.5f;
        auto play = [this, sway](bool stretches) {
            Oscillator o;
            o.prepare(44100.0f, &tables);
            o.resetPhase(0.25f);
            std::vector<float> left(6500, 0.0f), right(6500, 0.0f);
            for (int start = 0; start < 6500; start += 65) {
                T[TgtOsc1Pos] = sway * std::sin(0.05f * static_cast<float>(start));
                params[Osc1UniSprd] = 0.7f + 2.0f * sway * std::sin(0.03f * static_cast<float>(start));
                o.controlStep(params, T, 0, 3.0f, 440.0f);
                if (stretches) {
                    o.renderAdding(params, T, 0, &left[start], &right[start], 65);
                } else {
                    for (int i = start; i < start + 65; ++i) o.renderAdding(params, T, 0, &left[i], &right[i], 1);
                }
            }
            return std::make_pair(left, right);
        };
        avx2Forbidden() = true;
        const auto reference = play(false);
        avx2Forbidden() = false;
        const auto stretched = play(true);
        ASSERT_GT(*std::max_element(reference.first.begin(), reference.first.end()), 0.1f);
        EXPECT_EQ(stretched.first, reference.first) << "sway " << sway;
        EXPECT_EQ(stretched.second, reference.second) << "sway " << sway;
    }
}

}  // namespace tvx
