#include "effects/equaliser.h"

#include <gtest/gtest.h>

#include "effect_test_support.h"

namespace tvx {

namespace {

constexpr float kFs = 44100.0f;

float eqGainAt(EffectParams& p, float hertz) {
    Equaliser eq;
    eq.prepare(kFs);
    return sineGain([&](float& l, float& r) { eq.process(p.data(), l, r); }, hertz, kFs);
}

}  // namespace

TEST(EqualiserTest, NeutralGainsSkipBothBandsBitExactly) {
    EffectParams p;
    p[EQ1UseShelf] = 0.0f;
    Equaliser eq;
    eq.prepare(kFs);
    for (int i = 0; i < 2000; ++i) {
        float in = testSine(i, 97.0f, kFs);
        float l = in, r = in * 0.5f;
        eq.process(p.data(), l, r);
        ASSERT_EQ(l, in);
        ASSERT_EQ(r, in * 0.5f);
    }
}

TEST(EqualiserTest, BellAtPlusTwentyDecibelsReachesTenAtItsCentre) {
    EffectParams p;
    p[EQ1UseShelf] = 0.0f;
    p[EQ1Gain] = 1.0f;
    p[EQ1Freq] = 0.5f;  // 0.125 * 980 + 20 = 142.5 Hz
    EXPECT_NEAR(eqGainAt(p, 142.5f), 10.0f, 0.1f);
    EXPECT_NEAR(eqGainAt(p, 15000.0f), 1.0f, 0.02f);

    EffectParams q;
    q[EQ2UseShelf] = 0.0f;
    q[EQ2Gain] = 0.0f;  // -20 dB
    q[EQ2Freq] = 0.5f;  // 0.125 * 17500 + 500 = 2687.5 Hz
    EXPECT_NEAR(eqGainAt(q, 2687.5f), 0.1f, 0.002f);
}

TEST(EqualiserTest, ShelvesReachTenOnTheirSideAndOneOnTheOther) {
    EffectParams low;
    low[EQ1Gain] = 1.0f;
    low[EQ1Freq] = 0.5f;  // 142.5 Hz
    EXPECT_NEAR(eqGainAt(low, 10.0f), 10.0f, 0.15f);
    EXPECT_NEAR(eqGainAt(low, 12000.0f), 1.0f, 0.02f);

    EffectParams high;
    high[EQ2Gain] = 1.0f;
    high[EQ2Freq] = 0.0f;  // 500 Hz
    EXPECT_NEAR(eqGainAt(high, 18000.0f), 10.0f, 0.15f);
    EXPECT_NEAR(eqGainAt(high, 20.0f), 1.0f, 0.02f);
}

TEST(EqualiserTest, BrokenParametersAndLowRatesStayFiniteAndRecover) {
    for (float fs : {8000.0f, 22050.0f, 44100.0f}) {
        EffectParams p;
        Equaliser eq;
        eq.prepare(fs);
        const float bad[] = {kNaN, kInf, -kInf, 1e30f, -3.0f};
        for (int i = 0; i < 5000; ++i) {
            float v = bad[(i / 100) % 5];
            p[EQ1Gain] = p[EQ2Gain] = p[EQ1Freq] = p[EQ2Freq] = v;
            p[EQ1UseShelf] = p[EQ2UseShelf] = static_cast<float>((i / 500) % 2);
            float l = testSine(i, 5000.0f, fs), r = l;
            eq.process(p.data(), l, r);
            ASSERT_TRUE(std::isfinite(l) && std::isfinite(r)) << fs << " " << v;
            ASSERT_LT(std::fabs(l), 20.0f) << fs << " " << v;
        }
    }
}

}  // namespace tvx
