#include "engine/filter.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tvx {

namespace {

constexpr float kRate = 44100.0f;

// Cutoff parameter value that maps to `hz` (before key tracking).
float cutoffFor(float hz) { return std::pow((hz - 20.0f) / 20980.0f, 0.2f); }

// Steady-state gain of a sine through the filter (left channel).
float measureGain(int type, float cutoffHz, float resonance, float sineHz, float amplitude = 0.1f) {
    Filter filter;
    filter.prepare(kRate);
    filter.jumpSmoothers();
    const int settle = 22050, measure = 8820;
    float peak = 0;
    for (int i = 0; i < settle + measure; ++i) {
        filter.setUp(static_cast<float>(type), cutoffFor(cutoffHz), resonance, 57.0f, 0.0f);
        // Phase in double: a float phase would add jitter noise that leaks through the pass band.
        float l = static_cast<float>(static_cast<double>(amplitude) * std::sin(2.0 * M_PI * static_cast<double>(sineHz) * i / static_cast<double>(kRate))), r = l;
        filter.process(l, r);
        if (i >= settle) peak = std::fmax(peak, std::fabs(l));
    }
    return peak / amplitude;
}

}  // namespace

TEST(Filter, CutoffMapsOnAFifthPowerCurveAndTracksTheKey) {
    Filter filter;
    filter.prepare(96000.0f);
    filter.setUp(2.0f, 0.0f, 0.0f, 57.0f, 1.0f);
    EXPECT_FLOAT_EQ(filter.cutoffTarget(), 20.0f / 96000.0f);
    filter.setUp(2.0f, 1.0f, 0.0f, 57.0f, 1.0f);
    EXPECT_FLOAT_EQ(filter.cutoffTarget(), 21000.0f / 96000.0f);
    filter.setUp(2.0f, 0.5f, 0.0f, 57.0f, 0.0f);
    const float plain = filter.cutoffTarget();
    EXPECT_FLOAT_EQ(plain, (20.0f + 20980.0f / 32.0f) / 96000.0f);
    for (float note : {0.0f, 30.0f, 69.0f, 127.0f}) {
        filter.setUp(2.0f, 0.5f, 0.0f, note, 0.0f);
        EXPECT_FLOAT_EQ(filter.cutoffTarget(), plain);
    }
    filter.setUp(2.0f, 0.5f, 0.0f, 69.0f, 1.0f);
    EXPECT_FLOAT_EQ(filter.cutoffTarget(), 2.0f * plain);
    filter.setUp(2.0f, 0.5f, 0.0f, 45.0f, 0.5f);
    EXPECT_FLOAT_EQ(filter.cutoffTarget(), plain / std::sqrt(2.0f));
    filter.setUp(2.0f, 1.0f, 0.0f, 127.0f, 1.0f);
    EXPECT_EQ(filter.cutoffTarget(), 0.5f);
    filter.setUp(2.0f, 7.0f, -3.0f, 57.0f, 0.0f);  // modulation past the range clamps
    EXPECT_FLOAT_EQ(filter.cutoffTarget(), 21000.0f / 96000.0f);
    EXPECT_EQ(filter.resonanceTarget(), 0.0f);
}

TEST(Filter, TypeZeroPassesUnclippedAndBadTypesAreOff) {
    for (float type : {0.0f, NAN, -1.0f, 7.0f, INFINITY, 1e20f}) {
        Filter filter;
        filter.prepare(kRate);
        filter.setUp(type, 0.1f, 0.5f, 60.0f, 0.0f);
        EXPECT_FALSE(filter.active()) << type;
        float l = 3.0f, r = -2.5f;
        filter.process(l, r);
        EXPECT_EQ(l, 3.0f);
        EXPECT_EQ(r, -2.5f);
    }
}

TEST(Filter, ActiveFilterClipsItsInput) {
    Filter filter;
    filter.prepare(kRate);
    float l = 0, r = 0;
    for (int i = 0; i < 20000; ++i) {
        filter.setUp(2.0f, 1.0f, 0.0f, 57.0f, 0.0f);
        l = 5.0f;
        r = -5.0f;
        filter.process(l, r);
    }
    EXPECT_NEAR(l, 1.0f, 1e-3f);
    EXPECT_NEAR(r, -1.0f, 1e-3f);
}

TEST(Filter, LowpassResponses) {
    // Two-pole: unity in the pass band, -40 dB a decade above the cutoff.
    EXPECT_NEAR(measureGain(2, 1000.0f, 0.0f, 100.0f), 1.0f, 0.02f);
    EXPECT_NEAR(measureGain(2, 1000.0f, 0.0f, 10000.0f), 0.01f, 0.004f);
    // Ladder at resonance 0: the 1.122 make-up gain, four poles above the cutoff.
    EXPECT_NEAR(measureGain(1, 1000.0f, 0.0f, 50.0f), 1.122018f, 0.02f);
    EXPECT_NEAR(measureGain(1, 1000.0f, 0.0f, 2000.0f), 0.0393f * 1.122018f, 0.002f);
    EXPECT_LT(measureGain(1, 1000.0f, 0.0f, 10000.0f), 1e-4f);
    // Resonance lifts the cutoff region.
    EXPECT_GT(measureGain(2, 1000.0f, 1.0f, 1000.0f), 5.0f);
}

TEST(Filter, HighpassBandpassAndBandstopResponses) {
    EXPECT_NEAR(measureGain(3, 1000.0f, 0.0f, 10000.0f), 1.0f, 0.03f);
    EXPECT_NEAR(measureGain(3, 1000.0f, 0.0f, 100.0f), 0.01f, 0.004f);
    // Band output: peak gain equals Q, 0.5 at resonance 0 and 10 at resonance 1.
    EXPECT_NEAR(measureGain(4, 1000.0f, 0.0f, 1000.0f), 0.5f, 0.02f);
    EXPECT_NEAR(measureGain(4, 1000.0f, 1.0f, 1000.0f, 0.01f), 10.0f, 0.5f);
    EXPECT_LT(measureGain(5, 1000.0f, 0.5f, 1000.0f), 0.02f);
    EXPECT_NEAR(measureGain(5, 1000.0f, 0.5f, 100.0f), 1.0f, 0.02f);
    // Peaking is a lift at the cutoff and unity far from it.
    EXPECT_GT(measureGain(6, 1000.0f, 1.0f, 1000.0f, 0.01f), 3.0f);
    EXPECT_NEAR(measureGain(6, 1000.0f, 1.0f, 20.0f), 1.0f, 0.05f);
}

TEST(Filter, BadParametersAndInputNeverReachTheOutput) {
    const float bad[] = {NAN, INFINITY, -INFINITY, 1e30f};
    for (int type = 1; type <= 6; ++type) {
        Filter filter;
        filter.prepare(kRate);
        for (float v : bad) {
            for (int i = 0; i < 200; ++i) {
                filter.setUp(static_cast<float>(type), v, v, v, v);
                float l = v, r = std::sin(0.1f * i);
                filter.process(l, r);
                ASSERT_TRUE(std::isfinite(l) && std::isfinite(r)) << type;
            }
        }
        // Recovers to the ordinary response once the values are sane again.
        float peak = 0;
        for (int i = 0; i < 40000; ++i) {
            filter.setUp(static_cast<float>(type), cutoffFor(1000.0f), 0.0f, 57.0f, 0.0f);
            float l = static_cast<float>(0.1 * std::sin(2.0 * M_PI * 100.0 * i / static_cast<double>(kRate))), r = l;
            filter.process(l, r);
            if (i > 30000) peak = std::fmax(peak, std::fabs(l));
        }
        EXPECT_TRUE(std::isfinite(peak)) << type;
        EXPECT_LT(peak, 0.2f) << type;
    }
}

TEST(Filter, SelfOscillatingLadderStaysBoundedAndTailsFlushToZero) {
    Filter filter;
    filter.prepare(kRate);
    float l = 0, r = 0;
    float peak = 0;
    for (int i = 0; i < 100000; ++i) {
        filter.setUp(1.0f, 0.9f, 1.0f, 57.0f, 0.0f);
        l = r = (i < 1000) ? 1.0f : 0.0f;
        filter.process(l, r);
        peak = std::fmax(peak, std::fabs(l));
    }
    EXPECT_TRUE(std::isfinite(peak));
    EXPECT_LT(peak, 20.0f);

    Filter svf;
    svf.prepare(kRate);
    for (int i = 0; i < 200000; ++i) {
        svf.setUp(2.0f, 0.3f, 0.2f, 57.0f, 0.0f);
        l = r = (i < 100) ? 0.5f : 0.0f;
        svf.process(l, r);
    }
    EXPECT_EQ(l, 0.0f);
    EXPECT_EQ(r, 0.0f);
}

}  // namespace tvx
