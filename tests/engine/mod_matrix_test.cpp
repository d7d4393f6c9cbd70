#include "engine/mod_matrix.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "params/parameter_id.h"
#include "params/parameter_table.h"

namespace tvx {

namespace {

const float kNaN = std::numeric_limits<float>::quiet_NaN();

struct ModMatrixTest : ::testing::Test {
    float params[kNumParameters];
    ModSources sources;
    float sums[kNumModTargets];

    void SetUp() override {
        fillDefaultValues(params);
        sources = ModSources();
        sources.value[SrcConstant] = 1.0f;
    }
    void setSlot(int slot, float source, float target, float amountParam) {
        params[Mod1Source + slot] = source;
        params[Mod1Target + slot] = target;
        params[Mod1Amount + slot] = amountParam;
    }
    void evaluate() { evaluateModMatrix(params, sources, sums); }
    int nonZeroSums() const {
        int n = 0;
        for (float s : sums) n += s != 0.0f;
        return n;
    }
};

}  // namespace

TEST_F(ModMatrixTest, SlotsOnSemitonesAndTheirSum) {
    setSlot(0, SrcConstant, TgtOsc1Semi, 1.0f);
    evaluate();
    EXPECT_EQ(std::floor(sums[TgtOsc1Semi] * 100.0f + 0.1f), 100.0f);
    setSlot(0, SrcConstant, TgtOsc1Semi, 0.56f);
    evaluate();
    EXPECT_EQ(std::floor(sums[TgtOsc1Semi] * 100.0f + 0.1f), 12.0f);
    EXPECT_EQ(nonZeroSums(), 1);

    sources.value[SrcModWheel] = 0.5f;
    setSlot(5, SrcModWheel, TgtOsc1Semi, 0.0f);  // -1 * 0.5
    evaluate();
    EXPECT_NEAR(sums[TgtOsc1Semi], -0.38f, 1e-6f);
}

TEST_F(ModMatrixTest, AmountTargetsScaleTheirSlot) {
    setSlot(0, SrcConstant, TgtOsc2Pan, 1.0f);
    setSlot(1, SrcModWheel, TgtMod1Amt, 1.0f);
    evaluate();
    EXPECT_EQ(sums[TgtOsc2Pan], 0.0f);  // wheel down silences slot 1
    sources.value[SrcModWheel] = 0.5f;
    evaluate();
    EXPECT_NEAR(sums[TgtOsc2Pan], 0.5f, 1e-6f);
    setSlot(2, SrcConstant, TgtMod1Amt, 1.0f);  // amounts add, the result is limited to 1
    evaluate();
    EXPECT_FLOAT_EQ(sums[TgtOsc2Pan], 1.0f);
}

TEST_F(ModMatrixTest, FixedRoutingsReachTheirTargets) {
    for (int s = 1; s < kNumModSources; ++s) sources.value[s] = 0.8f;
    params[Env1Mod1] = 0.25f;  // amount -0.5
    params[Env3Mod3] = 1.0f;   // filter 1, like Env1Mod3
    params[Lfo2Mod2] = 0.75f;
    params[Lfo3Mod3] = 1.0f;
    evaluate();
    EXPECT_NEAR(sums[TgtOsc1Pos], -0.4f, 1e-6f);
    EXPECT_NEAR(sums[TgtOsc1Mod1], -0.4f, 1e-6f);
    EXPECT_NEAR(sums[TgtFlt1Cut], 1.6f, 1e-6f);
    EXPECT_NEAR(sums[TgtOsc2Tune], 0.4f, 1e-6f);
    EXPECT_EQ(nonZeroSums(), 4);
}

TEST_F(ModMatrixTest, BadCodesAndValuesActAsNone) {
    const float badSources[] = {-1.0f, 24.0f, kNaN, 1e30f, -1e30f};
    const float badTargets[] = {-3.0f, 70.0f, kNaN, 1e30f, 0.0f};
    for (int i = 0; i < 5; ++i) {
        setSlot(i, badSources[i], TgtOsc1Vol, 1.0f);
        setSlot(5 + i, SrcConstant, badTargets[i], 1.0f);
    }
    evaluate();
    EXPECT_EQ(nonZeroSums(), 0);

    SetUp();
    setSlot(0, SrcConstant, TgtNoiseVol, kNaN);
    setSlot(1, SrcLfo1, TgtNoisePan, 1.0f);
    params[Env1Mod3] = 1.0f;
    sources.value[SrcLfo1] = kNaN;
    sources.value[SrcEnv1] = std::numeric_limits<float>::infinity();
    evaluate();
    for (float s : sums) ASSERT_TRUE(std::isfinite(s));
    EXPECT_EQ(sums[TgtNoiseVol], 0.0f);
    EXPECT_EQ(sums[TgtNoisePan], 0.0f);
}

TEST_F(ModMatrixTest, PerSampleTargetsAreTimesAndRates) {
    setSlot(0, SrcModWheel, TgtEnv1Dec, 0.7f);
    setSlot(1, SrcConstant, TgtEnv2Sus, 0.7f);  // sustain is smoothed per sample anyway
    setSlot(2, SrcNone, TgtEnv3Att, 0.7f);
    setSlot(3, SrcLfo1, TgtLfo3Rate, 0.7f);
    setSlot(4, 99.0f, TgtLfo1Rate, 0.7f);
    PerSampleTargets found = findPerSampleTargets(params);
    EXPECT_TRUE(found.envelopeTimes[0]);
    EXPECT_FALSE(found.envelopeTimes[1]);
    EXPECT_FALSE(found.envelopeTimes[2]);
    EXPECT_FALSE(found.lfoRate[0]);
    EXPECT_TRUE(found.lfoRate[2]);
    setSlot(2, SrcConstant, TgtEnv3Rel, 0.7f);
    EXPECT_TRUE(findPerSampleTargets(params).envelopeTimes[2]);
}

}  // namespace tvx
