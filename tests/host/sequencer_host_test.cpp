// The step sequencer heard through the binary interface: steps follow the
// host's tempo and time signature, and a held chord plays as a pattern.

#include <cmath>

#include "host/midi_block.h"
#include "host/plugin_test_support.h"
#include "host/signal_analysis.h"
#include "params/parameter_id.h"

namespace tvx {

namespace {

using signal_analysis::onsets;

constexpr float kSixteenth = 4.5f / 18.0f;  // SeqStepSize "1/16"

class SequencerHost : public LoadedPlugin {
protected:
    // Short sine blips: one repeating step whose gate is a tenth of the step,
    // an instant attack and release, so every step starts out of silence.
    void setUpBlips() {
        setParameter(Osc1Pos, 0.75f);
        setParameter(Flt1Type, 0.0f);
        setParameter(Env1Att, 0.0f);
        setParameter(Env1Rel, 0.0f);
        setParameter(SeqStepSize, kSixteenth);
        setParameter(SeqStepCount, 0.0f);
        setParameter(SeqLen1, 0.0f);
        setParameter(UseSequencer, 1.0f);
    }

    // The sequencer starts at a block start and forgets keys held before it
    // ran, so one block passes before the key goes down.
    void holdKeys(std::initializer_list<int> notes) {
        std::vector<float> left, right;
        render(512, left, right);
        MidiBlock keys;
        for (int note : notes) keys.add(0, 0x90, note, 100);
        keys.sendTo(host);
    }

    std::vector<size_t> renderOnsets(int frames) {
        std::vector<float> left, right;
        render(frames, left, right);
        return onsets(left, 1e-4f, 1000);
    }

    static void expectSpacing(const std::vector<size_t>& at, size_t from, size_t spacing, const char* what) {
        ASSERT_GT(at.size(), from + 2) << what;
        for (size_t i = from + 1; i < at.size(); ++i) EXPECT_EQ(at[i] - at[i - 1], spacing) << what << " step " << i;
    }
};

}  // namespace

TEST_F(SequencerHost, SixteenthStepsFollowTheHostTempoAndTimeSignature) {
    setUpBlips();
    holdKeys({60});
    // 120 BPM in quarter notes: a step of 5512 samples lasts 5513.
    std::vector<size_t> at = renderOnsets(5513 * 8);
    ASSERT_FALSE(at.empty());
    EXPECT_LT(at[0], 4u);
    expectSpacing(at, 0, 5513, "120 BPM");
    EXPECT_EQ(at.size(), 8u);

    // A new tempo takes over at the next block start; the step in progress
    // when it changes is a mix of both lengths.
    host.state().tempo = 90.0;
    expectSpacing(renderOnsets(7351 * 8), 1, 7351, "90 BPM");

    host.state().tempo = 128.0;
    host.state().timeSigDenominator = 8;
    expectSpacing(renderOnsets(10336 * 8), 1, 10336, "128 BPM in eighths");
}

TEST_F(SequencerHost, WithoutTimeInfoStepsRunAt120BpmInQuarters) {
    host.state().provideTimeInfo = false;
    setUpBlips();
    holdKeys({60});
    expectSpacing(renderOnsets(5513 * 6), 0, 5513, "no time info");
}

TEST_F(SequencerHost, AHeldChordPlaysUpwardsOneNotePerStep) {
    setUpBlips();
    setParameter(SeqLen1, 1.0f);  // legato steps: long enough to measure each pitch
    holdKeys({67, 60, 64});
    std::vector<float> left, right;
    render(5513 * 6, left, right);
    const double expected[] = {60, 64, 67, 60, 64, 67};
    for (int step = 0; step < 6; ++step) {
        size_t begin = step * 5513 + 300;
        double hz = signal_analysis::zeroCrossingFrequency(left, begin, begin + 5000, 44100.0);
        EXPECT_NEAR(12.0 * std::log2(hz / 440.0) + 69.0, expected[step], 0.05) << "step " << step;
    }
}

TEST_F(SequencerHost, ReleasingTheKeysSilencesThePattern) {
    setUpBlips();
    holdKeys({60});
    EXPECT_EQ(renderOnsets(5513 * 3).size(), 3u);
    sendMidi(0, 0x80, 60, 0);
    std::vector<float> left, right;
    render(5513 * 4, left, right);
    EXPECT_EQ(signal_analysis::peak(left), 0.0f);
}

// An engine reset (suspend and resume, or the host restoring the plug-in's
// own chunk) keeps the pattern running with the keys still held.
TEST_F(SequencerHost, ArpeggioKeepsPlayingAcrossSuspendResumeAndItsOwnChunk) {
    setUpBlips();
    holdKeys({60, 64});
    EXPECT_GE(renderOnsets(5513 * 4).size(), 3u);

    host.dispatch(effMainsChanged, 0, 0);
    host.dispatch(effMainsChanged, 0, 1);
    EXPECT_GE(renderOnsets(5513 * 4).size(), 3u) << "after suspend and resume";

    void* data = nullptr;
    const VstIntPtr size = host.dispatch(effGetChunk, 0, 0, &data);
    std::vector<unsigned char> chunk(static_cast<unsigned char*>(data), static_cast<unsigned char*>(data) + size);
    host.dispatch(effSetChunk, 0, static_cast<VstIntPtr>(chunk.size()), chunk.data());
    EXPECT_GE(renderOnsets(5513 * 4).size(), 3u) << "after loading its own chunk";

    // Velocity 0 is MIDI's note-off: with both keys up the pattern ends.
    MidiBlock().add(0, 0x90, 60, 0).add(0, 0x90, 64, 0).sendTo(host);
    std::vector<float> left, right;
    render(5513, left, right);
    EXPECT_TRUE(renderOnsets(5513 * 4).empty());
}

}  // namespace tvx
