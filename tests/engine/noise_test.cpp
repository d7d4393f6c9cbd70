#include "engine/noise.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace tvx {

namespace {
RandomSource testRandom(7);
}  // namespace

TEST(Noise, WhiteIsTheSameOnBothSidesAndHalvedAtCentre) {
    Noise noise;
    noise.random = &testRandom;
    noise.clear();
    double sum = 0;
    float lowest = 0, highest = 0;
    for (int i = 0; i < 100000; ++i) {
        float l = 0, r = 0;
        noise.render(Noise::White, 1.0f, 0.5f, l, r);
        ASSERT_EQ(l, r);
        sum += static_cast<double>(l);
        lowest = std::fmin(lowest, l);
        highest = std::fmax(highest, l);
    }
    EXPECT_NEAR(sum / 100000, 0.0, 0.005);
    EXPECT_LT(lowest, -0.499f);  // white spans about -1..+1, halved by the centre pan
    EXPECT_GT(highest, 0.499f);
    EXPECT_GE(lowest, -0.5f);
    EXPECT_LE(highest, 0.5f * 1.0001f);
    EXPECT_EQ(noise.b0, 0.0f);  // no pink filtering
}

TEST(Noise, PinkFilterFollowsItsThreePoles) {
    Noise noise;
    noise.random = &testRandom;
    noise.clear();
    const float first = noise.pink(1.0f);
    EXPECT_FLOAT_EQ(first, (0.099046f + 0.296516f + 1.05269f + 0.1848f) * 0.16f);
    const float second = noise.pink(0.0f);
    EXPECT_FLOAT_EQ(second, (0.99765f * 0.099046f + 0.963f * 0.296516f + 0.57f * 1.05269f) * 0.16f);
    noise.clear();
    EXPECT_EQ(noise.b0 + noise.b1 + noise.b2, 0.0f);
}

TEST(Noise, StereoTypesDrawTheRightSideApart) {
    for (float type : {2.0f, 3.0f}) {
        Noise noise;
        noise.random = &testRandom;
        noise.clear();
        int differing = 0;
        for (int i = 0; i < 100; ++i) {
            float l = 0, r = 0;
            noise.render(type, 1.0f, 0.5f, l, r);
            differing += l != r;
        }
        EXPECT_GT(differing, 90) << type;
    }
}

TEST(Noise, LevelAndPanAreClampedAndBadTypesAreWhite) {
    Noise noise;
    noise.random = &testRandom;
    for (float type : {NAN, -1.0f, 4.0f, 1e30f}) {
        noise.clear();
        float l = 0, r = 0;
        noise.render(type, 1.0f, 0.5f, l, r);
        EXPECT_EQ(l, r);
        EXPECT_EQ(noise.b0, 0.0f);
    }
    float l = 1, r = 1;
    noise.render(Noise::Pink, NAN, 0.5f, l, r);
    EXPECT_EQ(l + r, 0.0f);
    noise.render(Noise::White, 5.0f, NAN, l, r);  // pan NaN -> 0: all left
    EXPECT_EQ(r, 0.0f);
    EXPECT_LE(std::fabs(l), 1.0001f);
    EXPECT_TRUE(std::isfinite(l));
}

TEST(Noise, SilentNoiseDrawsNothing) {
    RandomSource random(11), untouched(11);
    Noise noise;
    noise.random = &random;
    float l = 1.0f, r = 1.0f;
    noise.render(Noise::StereoPink, 0.0f, 0.5f, l, r);
    EXPECT_EQ(l, 0.0f);
    EXPECT_EQ(r, 0.0f);
    EXPECT_EQ(random.next(), untouched.next());  // nothing was drawn
}

}  // namespace tvx
