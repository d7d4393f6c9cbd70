// One voice heard through the binary interface: a plain sine of known pitch
// and level, its pitch at other sample rates, and the output limit.

#include <algorithm>
#include <cmath>

#include "host/midi_block.h"
#include "host/plugin_test_support.h"
#include "host/signal_analysis.h"
#include "params/parameter_id.h"

namespace tvx {

namespace {

using signal_analysis::peak;
using signal_analysis::zeroCrossingFrequency;

// Volume 0.5 x Osc1Vol 0.5 x centre pan 0.5 x the sine row's peak 1 / 0.999.
constexpr float kSineLevel = 0.5f * 0.5f * 0.5f / 0.999f;
constexpr float kOutputLimit = 1.41254f;

class VoiceEngineHost : public LoadedPlugin {
protected:
    // Oscillator 1 on the sine row, straight to the output with a square envelope.
    void setUpPlainSine() {
        setParameter(Osc1Pos, 0.75f);
        setParameter(Flt1Type, 0.0f);
        setParameter(Env1Att, 0.0f);
        setParameter(Env1Sus, 1.0f);
    }

    void changeSampleRate(double rate) {
        host.dispatch(effMainsChanged, 0, 0);
        host.dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(rate));
        host.state().sampleRate = rate;
        host.dispatch(effMainsChanged, 0, 1);
    }

    // Plays note 69 at full velocity for 1.5 s and returns the pitch measured
    // over the last second (the first half second lets every smoother settle).
    double measuredPitch(double rate, std::vector<float>& left, std::vector<float>& right) {
        sendMidi(0, 0x90, 69, 127);
        const size_t second = static_cast<size_t>(rate);
        render(static_cast<int>(second + second / 2), left, right);
        return zeroCrossingFrequency(left, second / 2, second / 2 + second, rate);
    }
};

}  // namespace

TEST_F(VoiceEngineHost, NoteA4PlaysA440HzSineAtTheExpectedLevel) {
    setUpPlainSine();
    std::vector<float> left, right;
    EXPECT_NEAR(measuredPitch(44100.0, left, right), 440.0, 0.01);
    EXPECT_NEAR(zeroCrossingFrequency(right, 22050, 66150, 44100.0), 440.0, 0.01);
    EXPECT_NEAR(peak(left, 22050), kSineLevel, kSineLevel * 0.001f);
    EXPECT_NEAR(peak(right, 22050), kSineLevel, kSineLevel * 0.001f);
    // A sine, not some other wave of the same peak: its RMS is peak / sqrt 2.
    double sum = 0.0;
    for (size_t i = 22050; i < 66150; ++i) sum += static_cast<double>(left[i]) * static_cast<double>(left[i]);
    EXPECT_NEAR(std::sqrt(sum / 44100.0), static_cast<double>(kSineLevel) / std::sqrt(2.0), static_cast<double>(kSineLevel * 0.001f));
    for (size_t i = 0; i < left.size(); ++i) ASSERT_EQ(left[i], right[i]) << i;
}

TEST_F(VoiceEngineHost, PitchFollowsTheSampleRateTheHostSets) {
    setUpPlainSine();
    for (double rate : {48000.0, 96000.0, 44100.0}) {
        changeSampleRate(rate);
        std::vector<float> left, right;
        EXPECT_NEAR(measuredPitch(rate, left, right), 440.0, 0.01) << rate;
        EXPECT_NEAR(peak(left, static_cast<size_t>(rate / 2)), kSineLevel, kSineLevel * 0.001f) << rate;
        sendMidi(0, 0x80, 69, 0);
        render(static_cast<int>(rate / 2), left, right);
    }
}

TEST_F(VoiceEngineHost, ManyLoudNotesStayWithinTheOutputLimit) {
    setParameter(Volume, 1.0f);
    setParameter(Flt1Type, 0.0f);
    setParameter(Env1Att, 0.0f);
    for (int osc : {Osc1Type, Osc2Type, Osc3Type}) setParameter(osc, 1.0f);
    for (int vol : {Osc1Vol, Osc2Vol, Osc3Vol}) setParameter(vol, 1.0f);
    for (int pos : {Osc1Pos, Osc2Pos, Osc3Pos}) setParameter(pos, 0.0f);
    MidiBlock chord;
    for (int note = 36; note < 36 + 32; ++note) chord.add(note - 36, 0x90, note, 127);
    chord.sendTo(host);
    std::vector<float> left, right;
    render(44100, left, right, 256);
    ASSERT_TRUE(signal_analysis::allFinite(left));
    ASSERT_TRUE(signal_analysis::allFinite(right));
    EXPECT_LE(peak(left), kOutputLimit);
    EXPECT_LE(peak(right), kOutputLimit);
    // The chord is far louder than full scale, so the limit is what held it.
    EXPECT_FLOAT_EQ(peak(left), kOutputLimit);
    EXPECT_FLOAT_EQ(peak(right), kOutputLimit);
    EXPECT_FLOAT_EQ(*std::min_element(left.begin(), left.end()), -kOutputLimit);
    EXPECT_FLOAT_EQ(*std::max_element(left.begin(), left.end()), kOutputLimit);
}

// "Unipolar Rnd" gives each note one value 0..1: routed to the fine tune (one
// semitone per unit) at full amount, every note lies between A4 and one
// semitone above, and they differ.
TEST_F(VoiceEngineHost, UnipolarRandomDetunesEachNoteWithinOneSemitone) {
    setUpPlainSine();
    setParameter(Env1Rel, 0.0f);
    setParameter(Mod1Source, 12.0f);  // Unipolar Rnd
    setParameter(Mod1Target, 3.0f);   // Osc 1 Fine
    setParameter(Mod1Amount, 1.0f);
    std::vector<double> pitches;
    for (int note = 0; note < 8; ++note) {
        std::vector<float> left, right;
        sendMidi(0, 0x90, 69, 127);
        render(22050, left, right);
        pitches.push_back(zeroCrossingFrequency(left, 4410, 22050, 44100.0));
        sendMidi(0, 0x80, 69, 0);
        render(4410, left, right);
    }
    for (double pitch : pitches) {
        EXPECT_GE(pitch, 440.0 - 0.05);
        EXPECT_LE(pitch, 466.17 + 0.05);
    }
    EXPECT_NE(*std::min_element(pitches.begin(), pitches.end()), *std::max_element(pitches.begin(), pitches.end()));
}

// A host that announces the rate already in use (many do, on every start)
// must not cut the notes that sound.
TEST_F(VoiceEngineHost, TheSameSampleRateAgainKeepsNotesSounding) {
    setUpPlainSine();
    sendMidi(0, 0x90, 69, 127);
    std::vector<float> left, right;
    render(4410, left, right);
    host.dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
    render(4410, left, right);
    EXPECT_NEAR(peak(left), kSineLevel, kSineLevel * 0.001f);
}

}  // namespace tvx
