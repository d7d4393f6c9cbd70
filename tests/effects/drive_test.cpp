#include "effects/drive.h"

#include <gtest/gtest.h>

#include "effect_test_support.h"

namespace tvx {

TEST(DriveTest, FullAmountIsTheSignedSquareRoot) {
    EffectParams p;
    p[DriveAmount] = 1.0f;
    p[DriveGain] = 0.5f;
    Drive drive;
    drive.prepare(44100.0f);
    float l = 0.25f, r = -0.25f;
    drive.process(p.data(), l, r);
    EXPECT_FLOAT_EQ(l, 0.5f);
    EXPECT_FLOAT_EQ(r, -0.5f);
}

TEST(DriveTest, NeutralSettingsPassTheSignalBitExactly) {
    EffectParams p;
    Drive drive;
    drive.prepare(48000.0f);
    for (int i = 0; i < 1000; ++i) {
        float in = testSine(i, 440.0f, 48000.0f) * 0.7f;
        float l = in, r = -in;
        drive.process(p.data(), l, r);
        ASSERT_EQ(l, in);
        ASSERT_EQ(r, -in);
    }
}

TEST(DriveTest, GainSpansPlusMinusTwentyDecibelsAndSmooths) {
    EffectParams p;
    p[DriveGain] = 1.0f;
    Drive drive;
    drive.prepare(44100.0f);
    float l = 0.1f, r = 0.1f;
    drive.process(p.data(), l, r);
    EXPECT_FLOAT_EQ(l, 1.0f);  // the first update jumps
    p[DriveGain] = 0.0f;
    l = r = 0.1f;
    drive.process(p.data(), l, r);
    EXPECT_GT(l, 0.9f);  // then it glides
    drive.jumpSmoothers();
    l = r = 0.1f;
    drive.process(p.data(), l, r);
    EXPECT_FLOAT_EQ(l, 0.01f);
}

TEST(DriveTest, BrokenParametersKeepTheOutputFinite) {
    EffectParams p;
    Drive drive;
    drive.prepare(44100.0f);
    for (float bad : {kNaN, kInf, -kInf, 1e30f, -1e30f}) {
        p[DriveAmount] = bad;
        p[DriveGain] = bad;
        float l = 0.3f, r = -0.3f;
        drive.process(p.data(), l, r);
        EXPECT_TRUE(std::isfinite(l) && std::isfinite(r)) << bad;
        EXPECT_LE(std::fabs(l), 3.0f) << bad;
    }
}

}  // namespace tvx
