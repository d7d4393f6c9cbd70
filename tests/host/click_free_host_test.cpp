// Stops a host can cause while a note sounds, heard through the binary
// interface: no stop may step the output further than the playing tone's
// own steepest step does, twice over at most.

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "host/plugin_test_support.h"
#include "params/parameter_id.h"

namespace tvx {

namespace {

constexpr int kRate = 44100;
// The longest fade a stop may take, with a sample to spare.
constexpr size_t kLongestFade = kRate * 5 / 1000 + 1;

class ClickFree : public LoadedPlugin {
protected:
    std::vector<float> left, right;

    // Oscillator 1 as a sine straight to the output, a short attack (an
    // attack of 0 is a step of its own), release 0, two voices.
    void SetUp() override {
        LoadedPlugin::SetUp();
        setParameter(Osc1Pos, 0.75f);
        setParameter(Flt1Type, 0.0f);
        setParameter(Env1Att, 0.1f);
        setParameter(Env1Rel, 0.0f);
        setParameter(Polyphony, 0.04f);
    }

    // Renders on in blocks of 512, appending to left and right.
    void play(int frames) {
        std::vector<float> l, r;
        render(frames, l, r);
        left.insert(left.end(), l.begin(), l.end());
        right.insert(right.end(), r.begin(), r.end());
    }

    // The steepest sample-to-sample step of both channels in [from, to).
    double steepestStep(size_t from, size_t to) const {
        double step = 0.0;
        for (size_t i = std::max<size_t>(from, 1); i < to; ++i)
            step = std::max({step, std::fabs(double(left[i]) - double(left[i - 1])),
                             std::fabs(double(right[i]) - double(right[i - 1]))});
        return step;
    }

    double peak(size_t from) const {
        double level = 0.0;
        for (size_t i = from; i < left.size(); ++i)
            level = std::max({level, std::fabs(double(left[i])), std::fabs(double(right[i]))});
        return level;
    }

    // Holds the notes until their attack is over and A4 is near a crest;
    // returns the steepest step of the steady tone.
    double holdTone(std::initializer_list<int> notes) {
        MidiBlock block;
        for (int note : notes) block.add(0, 0x90, note, 100);
        block.sendTo(host);
        play(16384 + 25);
        const double tone = steepestStep(left.size() - 8192, left.size());
        EXPECT_GT(tone, 0.001);
        return tone;
    }

    // What comes `at` samples after the tone, around the stop, steps at most
    // twice as far as the tone did; then silence.
    void expectFadedStop(size_t at, double tone, bool silentAfter = true) {
        play(8192);
        EXPECT_LE(steepestStep(at - 1, at + 4096), 2.0 * tone);
        if (silentAfter) {
            EXPECT_EQ(peak(at + kLongestFade), 0.0);
        }
    }

    std::vector<unsigned char> chunk() {
        void* data = nullptr;
        const auto size = host.dispatch(effGetChunk, 0, 0, &data);
        const auto* bytes = static_cast<unsigned char*>(data);
        return std::vector<unsigned char>(bytes, bytes + size);
    }
};

TEST_F(ClickFree, ReleaseZeroFadesOutWithinAMillisecond) {
    const double tone = holdTone({69});
    const size_t at = left.size() + 100;
    MidiBlock().add(100, 0x80, 69, 0).sendTo(host);
    play(8192);
    EXPECT_LE(steepestStep(at - 1, at + 4096), 2.0 * tone);
    EXPECT_EQ(peak(at + kRate / 1000 + 2), 0.0);
    EXPECT_GT(peak(at + kRate / 2000), 0.0);  // a fade, not a cut
}

TEST_F(ClickFree, StolenVoiceHandsOverWithoutAStep) {
    const double tone = holdTone({69, 45});
    const size_t at = left.size() + 300;
    MidiBlock().add(300, 0x90, 57, 100).sendTo(host);  // takes the voice of 69
    expectFadedStop(at, tone, false);
}

// A chunk or program loaded while notes and a delay sound: the old sound
// fades out, the loaded one applies in full and the host reads it back at once.
TEST_F(ClickFree, ChunkAndProgramLoadsFadeTheOldSoundOut) {
    const std::vector<unsigned char> sine = chunk();
    setParameter(DelayMix, 0.5f);
    const double tone = holdTone({69});

    std::vector<unsigned char> loaded = sine;
    host.dispatch(effSetChunk, 0, static_cast<VstIntPtr>(loaded.size()), loaded.data());
    EXPECT_EQ(chunk(), sine);
    expectFadedStop(left.size(), tone);

    setParameter(DelayMix, 0.5f);
    holdTone({69});
    host.dispatch(effSetProgram, 0, 0);
    expectFadedStop(left.size(), tone);

    // A note sent with the load is not lost to the fade.
    holdTone({69});
    host.dispatch(effSetChunk, 0, static_cast<VstIntPtr>(loaded.size()), loaded.data());
    MidiBlock().add(50, 0x90, 81, 100).sendTo(host);
    const size_t at = left.size();
    play(8192);
    EXPECT_GT(peak(at + kLongestFade), 0.1);
}

}  // namespace

}  // namespace tvx
