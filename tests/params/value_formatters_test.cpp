#include "params/value_formatters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "host/signal_analysis.h"
#include "params/parameter_id.h"
#include "params/parameter_table.h"
#include "support/plugin_fixture.h"

namespace tvx {

namespace {

// The number at the start of a text, after a side or ratio letter.
double numberIn(const std::string& text) {
    const size_t at = text.find_first_of("+-0123456789");
    return at == std::string::npos ? 0.0 : std::strtod(text.c_str() + at, nullptr);
}

double rms(const std::vector<float>& x, size_t begin, size_t end) {
    double sum = 0.0;
    for (size_t i = begin; i < end; ++i) sum += double(x[i]) * double(x[i]);
    return std::sqrt(sum / double(end - begin));
}

// Peak of every 10 ms, several periods of A4.
std::vector<float> envelopeOf(const std::vector<float>& x) {
    std::vector<float> peaks;
    for (size_t at = 0; at + 441 <= x.size(); at += 441) peaks.push_back(signal_analysis::peak(x, at, at + 441));
    return peaks;
}

class ValueTextsAgreeWithTheSound : public PluginFixture {
protected:
    std::vector<float> left, right;

    ParameterReader reader() const {
        return [this](int index) { return plugin->parameterValues()[index]; };
    }
    std::string text(int parameter) const { return formatParameterValue(parameter, reader()); }
    // Sets a parameter as the editor's field does from typed text.
    void type(int parameter, const std::string& typed) {
        float value = 0.0f;
        std::string error;
        ASSERT_TRUE(parseParameterValue(parameter, typed, reader(), value, error)) << typed << ": " << error;
        plugin->setParameter(parameter, value);
    }
    // A4 through oscillator 1 as a sine, for `seconds`.
    void play(double seconds) {
        plugin->setParameter(Osc1Pos, 0.75f);
        midi(0, 0x90, 69, 127);
        render(int(seconds * 44100.0), left, right);
    }
};

TEST_F(ValueTextsAgreeWithTheSound, SemitonesAttackTimeRatePanAndGain) {
    plugin->setParameter(Flt1Type, 0.0f);  // no saturating ladder between the sides
    type(Osc1Semi, "-7");
    ASSERT_EQ(text(Osc1Semi), "-7 st");
    type(Env1Att, "0.25 s");
    ASSERT_EQ(text(Env1Att), "250 ms");
    type(Osc1Pan, "L 40");
    ASSERT_EQ(text(Osc1Pan), "L 40");
    type(Volume, "-6 dB");
    ASSERT_EQ(text(Volume), "-6.0 dB");
    play(1.0);

    const double expectedPitch = 440.0 * std::pow(2.0, numberIn(text(Osc1Semi)) / 12.0);
    EXPECT_NEAR(signal_analysis::zeroCrossingFrequency(left, 22050, 44100, 44100.0), expectedPitch, 0.5);

    // The attack ends at its top: the first sample within 1 % of it.
    const float top = signal_analysis::peak(left);
    size_t reached = 0;
    while (reached < left.size() && std::fabs(left[reached]) < 0.99f * top) ++reached;
    EXPECT_NEAR(double(reached) / 44.1, numberIn(text(Env1Att)), 6.0) << "ms to the top of the attack";

    // "L 40": the left side gets 0.7 of the level, the right 0.3.
    const double side = numberIn(text(Osc1Pan)) / 200.0;
    EXPECT_NEAR(rms(right, 22050, 44100) / rms(left, 22050, 44100), (0.5 - side) / (0.5 + side), 0.01);

    const double quieter = rms(left, 22050, 44100);
    type(Volume, "0 dB");
    render(22050, left, right);
    EXPECT_NEAR(20.0 * std::log10(quieter / rms(left, 11025, 22050)), numberIn("-6.0 dB"), 0.1);
}

// A two-pole lowpass damped to Q = 1/sqrt(2) is 3 dB down at its cutoff:
// A4 through the cutoff the text calls 440 Hz.
TEST_F(ValueTextsAgreeWithTheSound, TheCutoffIsTheMinus3DbPoint) {
    plugin->setParameter(Flt1Type, 0.0f);
    play(0.5);
    const double open = rms(left, 11025, 22050);
    midi(0, 0x80, 69, 0);
    render(44100, left, right);
    plugin->setParameter(Flt1Type, 2.0f);  // "Lowpass 12"
    plugin->setParameter(Flt1Res, float(std::sqrt((std::sqrt(0.5) - 0.5) / 9.5)));
    type(Flt1Cut, "440 Hz");
    ASSERT_EQ(text(Flt1Cut), "440.0 Hz");
    play(0.5);
    EXPECT_NEAR(20.0 * std::log10(rms(left, 11025, 22050) / open), -3.01, 0.1);
}

TEST_F(ValueTextsAgreeWithTheSound, LfoRate) {
    // LFO 1 moves oscillator 1's volume through the first matrix slot.
    plugin->setParameter(Mod1Source, 1.0f);
    plugin->setParameter(Mod1Target, 6.0f);
    plugin->setParameter(Mod1Amount, 1.0f);
    type(Lfo1Rate, "2.5 Hz");
    ASSERT_EQ(text(Lfo1Rate), "2.50 Hz");
    play(3.0);
    std::vector<float> wobble = envelopeOf(left);
    double mean = 0.0;
    for (float v : wobble) mean += double(v) / double(wobble.size());
    for (float& v : wobble) v -= float(mean);
    EXPECT_NEAR(signal_analysis::zeroCrossingFrequency(wobble, 20, wobble.size(), 100.0),
                numberIn(text(Lfo1Rate)), 0.05);
}

// Every text the editor shows reads back as itself, so a typed copy of a
// shown value never moves the sound.
TEST(ValueFormatters, EveryShownTextReadsBackAsTheSameText) {
    std::vector<float> values(kNumParameters);
    for (int i = 0; i < kNumParameters; ++i) values[i] = parameterDefault(i);
    const ParameterReader reader = [&values](int index) { return values[size_t(index)]; };
    for (float synced : {0.0f, 1.0f}) {
        values[Lfo1Sync] = values[DelaySync] = synced;
        values[Mod1Target] = synced > 0 ? 2.0f : 1.0f;  // semitones, then tune
        values[Mod2Target] = 3.0f;                      // cents
        for (int p = 0; p < 213; ++p) {
            const float saved = values[p];
            for (float v = 0.0f; v <= 1.0f; v += 1.0f / 64.0f) {
                values[p] = v;
                const std::string shown = formatParameterValue(p, reader);
                float read = -1.0f;
                std::string error;
                ASSERT_TRUE(parseParameterValue(p, shown, reader, read, error)) << p << " " << shown << ": " << error;
                values[p] = read;
                EXPECT_EQ(formatParameterValue(p, reader), shown) << p << " at " << v;
            }
            values[p] = saved;
        }
    }
}

TEST(ValueFormatters, TextItCannotReadChangesNothingAndSaysWhy) {
    const ParameterReader defaults = [](int index) { return parameterDefault(index); };
    float value = 0.25f;
    std::string error;
    EXPECT_FALSE(parseParameterValue(Osc1Semi, "banana", defaults, value, error));
    EXPECT_EQ(error, "Not a number");
    EXPECT_FALSE(parseParameterValue(Flt1Cut, "3 furlongs", defaults, value, error));
    EXPECT_NE(error.find("Hz"), std::string::npos) << error;
    EXPECT_EQ(value, 0.25f);
    // Units the field does not show are still understood, and the range holds.
    ASSERT_TRUE(parseParameterValue(Flt1Cut, "1.5 kHz", defaults, value, error));
    EXPECT_EQ(formatParameterValue(Flt1Cut, [&](int i) { return i == Flt1Cut ? value : defaults(i); }), "1.50 kHz");
    ASSERT_TRUE(parseParameterValue(Osc1Semi, "+40 st", defaults, value, error));
    EXPECT_EQ(formatParameterValue(Osc1Semi, [&](int i) { return i == Osc1Semi ? value : defaults(i); }), "+24 st");
}

}  // namespace

}  // namespace tvx
