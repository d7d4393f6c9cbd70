// The whole effect chain heard through the binary interface: a note through
// drive, equaliser, chorus, delay and reverb leaves a tail that dies away.

#include <cmath>

#include "host/plugin_test_support.h"
#include "host/signal_analysis.h"
#include "params/parameter_id.h"

namespace tvx {

namespace {

using signal_analysis::peak;

class EffectsHost : public LoadedPlugin {
protected:
    void switchOnEveryEffect() {
        setParameter(DriveAmount, 0.7f);
        setParameter(EQ1Gain, 0.8f);
        setParameter(EQ2Gain, 0.3f);
        setParameter(ChorusMix, 0.5f);
        setParameter(DelayMix, 0.6f);
        setParameter(DelayFeedback, 0.7f);
        setParameter(ReverbMix, 0.5f);
        setParameter(ReverbSize, 1.0f);
        setParameter(ReverbDamp, 0.0f);
    }

    // Note 48 held for half a second, then `seconds` of tail.
    void playNoteWithTail(double seconds, std::vector<float>& left, std::vector<float>& right) {
        sendMidi(0, 0x90, 48, 127);
        std::vector<float> l, r;
        render(22050, l, r);
        sendMidi(0, 0x80, 48, 0);
        render(static_cast<int>(seconds * 44100), left, right);
        left.insert(left.begin(), l.begin(), l.end());
        right.insert(right.begin(), r.begin(), r.end());
    }
};

}  // namespace

TEST_F(EffectsHost, TheTailOfANoteThroughEveryEffectDiesAway) {
    switchOnEveryEffect();
    std::vector<float> left, right;
    playNoteWithTail(20.0, left, right);
    ASSERT_TRUE(signal_analysis::allFinite(left));
    ASSERT_TRUE(signal_analysis::allFinite(right));
    // The voice itself is silent 0.1 s after its release; what follows is
    // the echoes and the reverb.
    const size_t release = 22050;
    EXPECT_GT(peak(left, release + 44100, release + 2 * 44100), 1e-3f);
    EXPECT_GT(peak(right, release + 44100, release + 2 * 44100), 1e-3f);
    float previous = peak(left, release, release + 2 * 44100);
    for (size_t s = release + 2 * 44100; s + 2 * 44100 <= left.size(); s += 2 * 44100) {
        float now = std::fmax(peak(left, s, s + 2 * 44100), peak(right, s, s + 2 * 44100));
        EXPECT_LT(now, previous) << "at " << s / 44100.0 << " s";
        previous = now;
    }
    const size_t lastSecond = left.size() - 44100;
    EXPECT_LT(peak(left, lastSecond), 1e-4f);
    EXPECT_LT(peak(right, lastSecond), 1e-4f);
}

TEST_F(EffectsHost, ExtremeEffectSettingsStillDecay) {
    for (int id : {DriveAmount, DriveGain, EQ1Gain, EQ2Gain, EQ2Freq, ChorusMix, ChorusDepth, DelayMix, ReverbMix,
                   ReverbSize})
        setParameter(id, 1.0f);
    setParameter(EQ1Freq, 0.0f);
    setParameter(ReverbDamp, 0.0f);
    setParameter(DelayFeedback, 0.9f);
    setParameter(DelayLoCut, 0.0f);
    setParameter(Volume, 1.0f);
    std::vector<float> left, right;
    playNoteWithTail(40.0, left, right);
    ASSERT_TRUE(signal_analysis::allFinite(left));
    ASSERT_TRUE(signal_analysis::allFinite(right));
    EXPECT_LE(peak(left), 1.41254f);
    const size_t lastSecond = left.size() - 44100;
    EXPECT_LT(peak(left, lastSecond), 1e-4f);
    EXPECT_LT(peak(right, lastSecond), 1e-4f);
}

TEST_F(EffectsHost, NonFiniteEffectSettingsNeverReachTheOutput) {
    switchOnEveryEffect();
    const float bad[] = {NAN, INFINITY, -INFINITY, -1e30f, 1e30f};
    for (float value : bad) {
        for (int id : {DriveAmount, DriveGain, EQ1Gain, EQ2Gain, EQ1Freq, EQ2Freq, ChorusRate, ChorusDepth,
                       ChorusDelay, DelayTime, DelayFeedback, DelayLoCut, DelayWidth, ReverbSize, ReverbDamp,
                       ReverbWidth})
            setParameter(id, value);
        std::vector<float> left, right;
        playNoteWithTail(1.0, left, right);
        EXPECT_TRUE(signal_analysis::allFinite(left)) << value;
        EXPECT_TRUE(signal_analysis::allFinite(right)) << value;
    }
    // Sane values again: the chain recovers and still sounds.
    switchOnEveryEffect();
    for (int id : {DriveGain, EQ1Freq, EQ2Freq, ChorusRate, ChorusDepth, ChorusDelay, DelayTime, DelayLoCut,
                   DelayWidth, ReverbWidth})
        setParameter(id, 0.5f);
    std::vector<float> left, right;
    playNoteWithTail(1.0, left, right);
    EXPECT_TRUE(signal_analysis::allFinite(left));
    EXPECT_GT(peak(left), 0.01f);
}

}  // namespace tvx
