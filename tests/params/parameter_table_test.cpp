#include "params/parameter_table.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <set>
#include <string>

namespace tvx {

TEST(ParameterTable, KeysAreUniqueAndFindable) {
    std::set<std::wstring> keys;
    for (int i = 0; i < kNumParameters; ++i) {
        ASSERT_NE(parameterKey(i), nullptr);
        EXPECT_TRUE(keys.insert(parameterKey(i)).second) << i;
        EXPECT_EQ(findParameterByKey(parameterKey(i)), i);
    }
    EXPECT_EQ(findParameterByKey(L"volume"), -1);
    EXPECT_EQ(findParameterByKey("Osc1Pos"), Osc1Pos);
    EXPECT_EQ(findParameterByKey("Osc1Po"), -1);
    EXPECT_EQ(findParameterByKey(L"PresetName"), -1);
}

TEST(ParameterTable, OnlyKnobsHaveDisplayNames) {
    for (int i = 0; i < kNumParameters; ++i)
        EXPECT_EQ(parameterName(i) != nullptr, i < kNumNamedParameters) << i;
    EXPECT_STREQ(parameterName(Volume), L"Volume");
    EXPECT_STREQ(parameterName(Polyphony), L"Voices");
    EXPECT_STREQ(parameterName(ChorusDelay), L"Chr Delay");
    EXPECT_EQ(parameterName(kNumParameters), nullptr);
}

TEST(ParameterTable, InitSoundIsDefaultsWithWaveAndLowpass) {
    float defaults[kNumParameters], init[kNumParameters];
    fillDefaultValues(defaults);
    fillInitSound(init);
    EXPECT_FLOAT_EQ(defaults[Volume], 0.5f);
    EXPECT_FLOAT_EQ(defaults[Polyphony], 1.0f);
    EXPECT_FLOAT_EQ(defaults[PitchBend], 0.0834f);
    EXPECT_FLOAT_EQ(defaults[Env1Rel], 0.114471f);
    EXPECT_FLOAT_EQ(defaults[EQ2UseShelf], 1.0f);
    EXPECT_FLOAT_EQ(defaults[Osc1Type], 0.0f);
    for (int i = 0; i < kNumParameters; ++i) {
        if (i == Osc1Type || i == Flt1Type) continue;
        EXPECT_EQ(init[i], defaults[i]) << i;
    }
    EXPECT_EQ(init[Osc1Type], 1.0f);
    EXPECT_EQ(init[Flt1Type], 1.0f);
}

}  // namespace tvx
