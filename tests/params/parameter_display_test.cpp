#include "params/parameter_display.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "params/parameter_table.h"
#include "support/comma_locale.h"

namespace tvx {

namespace {

class ParameterDisplay : public ::testing::Test {
protected:
    ParameterDisplay() { fillDefaultValues(params); }
    std::string show(int index, float value) {
        params[index] = value;
        char text[64];
        getParameterDisplay(params, index, text, sizeof text);
        return text;
    }
    float params[kNumParameters];
};

}  // namespace

TEST_F(ParameterDisplay, PercentBipolarAndCents) {
    EXPECT_EQ(show(Volume, 0.5f), "50.0");
    EXPECT_EQ(show(ReverbDamp, 1.0f), "100.0");
    EXPECT_EQ(show(Osc1Semi, 0.75f), "+50.0");
    EXPECT_EQ(show(Osc1Semi, 0.5f), "0.0");
    EXPECT_EQ(show(Osc1Semi, 0.0f), "-100.0");
    EXPECT_EQ(show(Osc2Fine, 0.5f), "0 ct");
    EXPECT_EQ(show(Osc2Fine, 1.0f), "+100 ct");
    EXPECT_EQ(show(Osc3Fine, 0.0f), "-100 ct");
    EXPECT_EQ(show(Osc1Mod1Ratio, 0.0f), "1:1.0");
    EXPECT_EQ(show(Osc3Mod2Ratio, 1.0f), "1:10.0");
    EXPECT_EQ(show(Osc2Mod1Ratio, 0.1f), "1:1.5");
    // Discrete parameters use the bipolar rule too.
    EXPECT_EQ(show(Osc1Type, 1.0f), "+100.0");
    EXPECT_EQ(show(EQ2UseShelf, 0.0f), "-100.0");
}

TEST_F(ParameterDisplay, PanFrequenciesAndTimes) {
    EXPECT_EQ(show(NoisePan, 0.5f), "C");
    EXPECT_EQ(show(NoisePan, 0.0f), "100L");
    EXPECT_EQ(show(NoisePan, 1.0f), "100R");
    EXPECT_EQ(show(Flt1Cut, 1.0f), "21.0 kHz");
    EXPECT_EQ(show(Flt2Cut, 0.0f), "20.00 Hz");
    EXPECT_EQ(show(Flt1Cut, 0.6f), "1.65 kHz");   // 0.6^5 * 20980 + 20 = 1651.4
    EXPECT_EQ(show(Flt1Cut, 0.4f), "234.8 Hz");   // 0.4^5 * 20980 + 20 = 234.8
    EXPECT_EQ(show(Env1Att, 1.0f), "20.0 s");
    EXPECT_EQ(show(Env2Dec, 0.0f), "0 ms");
    EXPECT_EQ(show(Env3Rel, 0.5f), "2.50 s");
    EXPECT_EQ(show(Env1Rel, 0.3f), "540 ms");
    EXPECT_EQ(show(EQ1Freq, 0.0f), "20.00 Hz");
    EXPECT_EQ(show(EQ1Freq, 0.5f), "142.5 Hz");
    EXPECT_EQ(show(EQ1Freq, 1.0f), "1000 Hz");
    EXPECT_EQ(show(EQ2Freq, 1.0f), "18.0 kHz");
    EXPECT_EQ(show(DelayLoCut, 0.0f), "10.00 Hz");
    EXPECT_EQ(show(ChorusRate, 1.0f), "10.00 Hz");
    EXPECT_EQ(show(ChorusDelay, 0.0f), "0.10 ms");
}

TEST_F(ParameterDisplay, SyncedRatesShowDivisionNames) {
    EXPECT_EQ(show(Lfo1Rate, 1.0f), "20.00 Hz");
    params[Lfo1Sync] = 1.0f;
    EXPECT_EQ(show(Lfo1Rate, 1.0f), "1/32T");
    EXPECT_EQ(show(Lfo1Rate, 0.0f), "8/1");
    EXPECT_EQ(show(Lfo2Rate, 1.0f), "20.00 Hz");  // its own switch is off
    EXPECT_EQ(show(DelayTime, 1.0f), "6000 ms");
    EXPECT_EQ(show(DelayTime, 0.0f), "10 ms");
    params[DelaySync] = 1.0f;
    EXPECT_EQ(show(DelayTime, 1.0f), "1/1D");
    EXPECT_EQ(show(DelayTime, 10.0f / 18.0f), "1/4");
    EXPECT_EQ(show(DelayTime, std::numeric_limits<float>::quiet_NaN()), "1/1D");
    // The sequencer's step size is always a division.
    EXPECT_EQ(show(SeqStepSize, 4.5f / 18.0f), "1/16");
    EXPECT_EQ(show(SeqStepSize, 10.0f / 18.0f), "1/4");
}

TEST_F(ParameterDisplay, BoundedTextAndOutOfRangeInput) {
    params[Volume] = 0.123f;
    char small[4] = {'x', 'x', 'x', 'x'};
    getParameterDisplay(params, Volume, small, sizeof small);
    EXPECT_STREQ(small, "12.");
    char one[1] = {'x'};
    getParameterDisplay(params, Volume, one, 1);
    EXPECT_EQ(one[0], '\0');
    char text[64] = "old";
    getParameterDisplay(params, kNumParameters, text, sizeof text);
    EXPECT_STREQ(text, "");
    getParameterDisplay(params, -1, text, sizeof text);
    EXPECT_STREQ(text, "");
    // Huge values and infinities stay inside the buffer.
    EXPECT_EQ(show(Volume, 3e36f).size(), 41u);  // 39 digits, point, one decimal
    char narrow[16];
    getParameterDisplay(params, Volume, narrow, sizeof narrow);
    EXPECT_EQ(std::string(narrow).size(), 15u);
    EXPECT_EQ(show(Flt1Cut, std::numeric_limits<float>::infinity()), "inf kHz");
    EXPECT_EQ(show(NoisePan, std::numeric_limits<float>::quiet_NaN()).find("nan") != std::string::npos, true);
}

TEST_F(ParameterDisplay, CommaDecimalLocaleKeepsThePoint) {
    CommaLocaleScope comma;
    EXPECT_EQ(show(Volume, 0.5f), "50.0");
    EXPECT_EQ(show(Flt1Cut, 0.6f), "1.65 kHz");
    EXPECT_EQ(show(EQ1Freq, 1.0f), "1000 Hz");
}

}  // namespace tvx
