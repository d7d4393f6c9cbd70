#include "sequencer/step_sequencer.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#include "params/parameter_id.h"
#include "params/parameter_table.h"

namespace tvx {

namespace {

constexpr float kSixteenth = 0.25f;         // "1/16"
constexpr float kSixteenthTriplet = 0.2f;   // "1/16T"
constexpr int kSixteenthAt120 = 5512;       // 44.1 kHz, 120 BPM, denominator 4
constexpr int kStepSamples = kSixteenthAt120 + 1;

struct SentNote {
    int kind;
    long time;
    int note;
    int velocity;
    bool tied;  // the tie the sequencer decided with the note
};

// Drives the sequencer the way the block renderer does and records what it sends.
class Harness {
public:
    explicit Harness(int blockSize = 128) : blockSize_(blockSize) {
        fillDefaultValues(params);
        params[UseSequencer] = 1.0f;
        params[SeqStepSize] = kSixteenth;
        for (int i = 0; i < 16; ++i) params[SeqVel1 + i] = 1.0f;
        seq.prepare(44100.0f);
    }

    void take(const SequencerNotes& notes) {
        for (const SequencerNote& n : notes) {
            if (n.kind == SequencerNote::AllNotesOff) ++allNotesOffCalls;
            else sent.push_back({n.kind, blockStart_ + n.deltaFrames, n.note, n.velocity, n.tied});
        }
    }

    void press(int note) { pending_.push_back({1, note}); }
    void release(int note) { pending_.push_back({2, note}); }

    // Renders n samples; keys pressed or released before the call land on the first.
    void run(long n) {
        for (long i = 0; i < n; ++i) {
            int s = static_cast<int>(now - blockStart_);
            if (s == blockSize_ || now == 0) {
                blockStart_ = now;
                s = 0;
            }
            if (s == 0) take(seq.beginBlock(params, tempo, denominator));
            take(seq.step(params, s, pending_.data(), static_cast<int>(pending_.size())));
            pending_.clear();
            ++now;
        }
    }

    std::vector<SentNote> noteOns() const { return ofKind(1); }
    std::vector<SentNote> noteOffs() const { return ofKind(2); }
    std::vector<int> noteOnNumbers() const {
        std::vector<int> out;
        for (const SentNote& n : noteOns()) out.push_back(n.note);
        return out;
    }

    float params[kNumParameters];
    StepSequencer seq;
    std::vector<SentNote> sent;
    int allNotesOffCalls = 0;
    float tempo = 120.0f;
    int denominator = 4;
    long now = 0;

private:
    std::vector<SentNote> ofKind(int kind) const {
        std::vector<SentNote> out;
        for (const SentNote& n : sent)
            if (n.kind == kind) out.push_back(n);
        return out;
    }

    int blockSize_;
    long blockStart_ = 0;
    std::vector<StepSequencer::KeyEvent> pending_;
};

}  // namespace

TEST(StepSequencer, StepLengthFollowsTempoAndDivision) {
    EXPECT_EQ(StepSequencer::computeStepLength(kSixteenth, 120.0f, 4, 44100.0f), kSixteenthAt120);
    EXPECT_EQ(StepSequencer::computeStepLength(kSixteenthTriplet, 120.0f, 4, 44100.0f), 3675);
    EXPECT_EQ(StepSequencer::computeStepLength(kSixteenth, 120.0f, 8, 44100.0f), 11025);

    Harness h;
    h.press(60);
    h.run(3 * kStepSamples + 1);
    std::vector<SentNote> ons = h.noteOns();
    ASSERT_EQ(ons.size(), 4u);
    for (size_t i = 0; i < ons.size(); ++i) EXPECT_EQ(ons[i].time, static_cast<long>(i) * kStepSamples);
    EXPECT_EQ(h.seq.stepLength(), kSixteenthAt120);
}

TEST(StepSequencer, UnusableTimeInfoStillGivesAPositiveBoundedLength) {
    const int reference = StepSequencer::computeStepLength(kSixteenth, 120.0f, 4, 44100.0f);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_EQ(StepSequencer::computeStepLength(kSixteenth, nan, 4, 44100.0f), reference);
    EXPECT_EQ(StepSequencer::computeStepLength(kSixteenth, -90.0f, 4, 44100.0f), reference);
    EXPECT_EQ(StepSequencer::computeStepLength(kSixteenth, inf, 4, 44100.0f), reference);
    EXPECT_EQ(StepSequencer::computeStepLength(kSixteenth, 120.0f, 0, 44100.0f), reference);
    EXPECT_EQ(StepSequencer::computeStepLength(kSixteenth, 120.0f, -8, 44100.0f), reference);
    EXPECT_EQ(StepSequencer::computeStepLength(kSixteenth, 1e30f, 4, 44100.0f), 1);
    EXPECT_EQ(StepSequencer::computeStepLength(kSixteenth, 1e-30f, 4, 44100.0f),
              StepSequencer::kMaxStepLength);
    EXPECT_EQ(StepSequencer::computeStepLength(kSixteenth, 120.0f, INT_MAX, 44100.0f),
              StepSequencer::kMaxStepLength);
    EXPECT_EQ(StepSequencer::computeStepLength(nan, 120.0f, 4, 44100.0f),
              StepSequencer::computeStepLength(1.0f, 120.0f, 4, 44100.0f));  // "1/1D"

    // The shortest step still plays: note-on, gate note-off, next note-on.
    Harness h;
    h.tempo = 1e30f;
    h.press(60);
    h.run(6);
    EXPECT_EQ(h.seq.stepLength(), 1);
    EXPECT_GE(h.seq.gateLength(), 1);
    EXPECT_EQ(h.noteOns().size(), 3u);
    EXPECT_EQ(h.noteOffs().size(), 3u);
}

TEST(StepSequencer, PickOrderPerMode) {
    struct Case { float mode; std::vector<int> expected; };
    const Case cases[] = {
        {0.0f, {60, 64, 67, 60, 64, 67, 60}},
        {1.0f, {67, 64, 60, 67, 64, 60, 67}},
        {2.0f, {60, 64, 67, 64, 60, 64, 67}},
    };
    for (const Case& c : cases) {
        Harness h;
        h.params[SeqMode] = c.mode;
        h.press(67);
        h.press(60);
        h.press(64);
        h.press(60);  // a repeated key is held once
        h.run(6 * kStepSamples + 1);
        EXPECT_EQ(h.noteOnNumbers(), c.expected) << "mode " << c.mode;
        EXPECT_EQ(h.seq.heldNoteCount(), 3);
    }
}

TEST(StepSequencer, RestStepDoesNotAdvanceThePick) {
    Harness h;
    h.params[SeqVel2] = 0.0f;
    h.press(60);
    h.press(64);
    h.run(3 * kStepSamples + 1);
    std::vector<SentNote> ons = h.noteOns();
    ASSERT_EQ(ons.size(), 4u);
    EXPECT_EQ(h.noteOnNumbers(), (std::vector<int>{60, 64, 64, 60}));
    EXPECT_EQ(ons[1].velocity, 0);
    EXPECT_EQ(ons[2].velocity, 127);

    // A rest on note 0 leaves the pick at -1 but must not restart the step.
    Harness zero;
    zero.params[SeqStepCount] = 0.0f;
    zero.params[SeqVel1] = 0.0f;
    zero.press(0);
    zero.run(2 * kStepSamples + 1);
    ons = zero.noteOns();
    ASSERT_EQ(ons.size(), 3u);
    EXPECT_EQ(ons[2].time, 2 * kStepSamples);
}

TEST(StepSequencer, GateNoteOffsRunFromGateEndToStepEnd) {
    Harness h;
    h.params[SeqLen1] = 0.0f;
    h.params[SeqStepCount] = 0.0f;
    h.press(60);
    h.run(kStepSamples);
    const int gate = static_cast<int>(0.1f * kSixteenthAt120);
    EXPECT_EQ(h.seq.gateLength(), gate);
    std::vector<SentNote> offs = h.noteOffs();
    ASSERT_EQ(offs.size(), static_cast<size_t>(kSixteenthAt120 - gate + 1));
    EXPECT_EQ(offs.front().time, gate);
    EXPECT_EQ(offs.back().time, kSixteenthAt120);
    for (const SentNote& off : offs) {
        EXPECT_EQ(off.note, 60);
        EXPECT_EQ(off.velocity, 100);
    }
}

TEST(StepSequencer, FullGateEndsOnTheStepsLastSampleAndTiesTheNextStep) {
    Harness h;
    h.params[SeqLen1] = 1.0f;
    h.press(60);
    h.run(2 * kStepSamples + 1);
    std::vector<SentNote> offs = h.noteOffs();
    ASSERT_FALSE(offs.empty());
    EXPECT_EQ(offs.front().time, kSixteenthAt120);
    std::vector<SentNote> ons = h.noteOns();
    ASSERT_EQ(ons.size(), 3u);
    EXPECT_EQ(ons[1].time, kStepSamples);
    // The first step of a phrase follows nothing; step 2 follows the full step 1.
    EXPECT_FALSE(ons[0].tied);
    EXPECT_TRUE(ons[1].tied);
    EXPECT_FALSE(ons[2].tied);
}

TEST(StepSequencer, TransposeAndVelocityPerStep) {
    Harness h;
    h.params[SeqNote1] = 0.0f;
    h.params[SeqNote2] = 1.0f;
    h.params[SeqNote3] = 0.75f;
    h.params[SeqVel3] = 0.5f;
    h.press(60);
    h.run(2 * kStepSamples + 1);
    std::vector<SentNote> ons = h.noteOns();
    ASSERT_EQ(ons.size(), 3u);
    EXPECT_EQ(ons[0].note, 36);
    EXPECT_EQ(ons[1].note, 84);
    EXPECT_EQ(ons[2].note, 72);
    EXPECT_EQ(ons[2].velocity, 63);
    EXPECT_EQ(h.seq.shownStep(), 2);
}

TEST(StepSequencer, ReleasingAllKeysEndsThePhraseAndTheNextKeyStartsAtStepZero) {
    Harness h;
    h.params[SeqNote1] = 0.75f;  // step 1 plays an octave up
    h.press(60);
    h.run(kStepSamples + 100);
    EXPECT_EQ(h.seq.shownStep(), 1);
    h.sent.clear();
    const long releaseTime = h.now;
    h.release(60);
    h.run(1000);
    ASSERT_EQ(h.sent.size(), 1u);
    EXPECT_EQ(h.sent[0].kind, 2);
    EXPECT_EQ(h.sent[0].time, releaseTime);
    EXPECT_EQ(h.seq.shownStep(), -1);
    EXPECT_FALSE(h.seq.previousStepTied(h.params));

    const long pressTime = h.now;
    h.press(62);
    h.run(10);
    ASSERT_EQ(h.noteOns().size(), 1u);
    EXPECT_EQ(h.noteOns()[0].time, pressTime);
    EXPECT_EQ(h.noteOns()[0].note, 74);
    EXPECT_EQ(h.seq.shownStep(), 0);
}

TEST(StepSequencer, StartAndStopSilenceAndResetEverything) {
    Harness h;
    h.params[UseSequencer] = 0.0f;
    h.run(200);
    EXPECT_FALSE(h.seq.running());
    EXPECT_EQ(h.allNotesOffCalls, 0);

    h.params[UseSequencer] = 1.0f;
    h.params[SeqModA1] = 1.0f;
    h.params[SeqModB1] = 0.0f;
    h.run(200);  // the start waits for the next block
    EXPECT_TRUE(h.seq.running());
    EXPECT_EQ(h.allNotesOffCalls, 1);
    h.press(60);
    h.run(10);
    EXPECT_FLOAT_EQ(h.seq.seqModA(), 1.0f);
    EXPECT_FLOAT_EQ(h.seq.seqModB(), -1.0f);

    h.params[UseSequencer] = std::numeric_limits<float>::quiet_NaN();
    h.run(200);
    EXPECT_FALSE(h.seq.running());
    EXPECT_EQ(h.allNotesOffCalls, 2);
    EXPECT_EQ(h.seq.seqModA(), 0.0f);
    EXPECT_EQ(h.seq.seqModB(), 0.0f);
    EXPECT_EQ(h.seq.shownStep(), -1);
    EXPECT_EQ(h.seq.heldNoteCount(), 0);

    // Keys held across a restart must be struck again.
    h.params[UseSequencer] = 1.0f;
    h.sent.clear();
    h.run(kStepSamples * 2);
    EXPECT_TRUE(h.noteOns().empty());
}

TEST(StepSequencer, SmoothingSlopesTowardsTheNextStep) {
    Harness h;
    h.params[SeqStepCount] = 1.5f / 15.0f;  // two steps
    h.params[SeqModA1] = 0.0f;
    h.params[SeqModA2] = 1.0f;
    h.params[SeqModB1] = 0.0f;
    h.params[SeqModB2] = 1.0f;
    h.params[SeqSmoothModA] = 1.0f;
    h.press(60);
    h.run(1);
    const float slope = 2.0f / kSixteenthAt120;
    EXPECT_NEAR(h.seq.seqModA(), -1.0f + slope, 1e-6f);
    EXPECT_FLOAT_EQ(h.seq.seqModB(), -1.0f);
    h.run(kSixteenthAt120 / 2);
    EXPECT_NEAR(h.seq.seqModA(), 0.0f, 1e-3f);
    EXPECT_FLOAT_EQ(h.seq.seqModB(), -1.0f);  // no smoothing: a step function
    h.run(kStepSamples - kSixteenthAt120 / 2);
    EXPECT_NEAR(h.seq.seqModA(), 1.0f - slope, 1e-6f);  // second step slopes back
    EXPECT_FLOAT_EQ(h.seq.seqModB(), 1.0f);

    // Between phrases the values hold instead of drifting.
    h.release(60);
    h.run(1);
    const float held = h.seq.seqModA();
    h.run(5 * kStepSamples);
    EXPECT_EQ(h.seq.seqModA(), held);
}

TEST(StepSequencer, WildStepValuesStayInsideMidiAndTheSixteenSteps) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float wild[] = {nan, -5.0f, 7.0f, 1e30f, -1e30f};
    for (float v : wild) {
        Harness h;
        for (int i = 0; i < 16; ++i) {
            h.params[SeqNote1 + i] = v;
            h.params[SeqVel1 + i] = v;
            h.params[SeqLen1 + i] = v;
            h.params[SeqModA1 + i] = v;
        }
        h.params[SeqStepCount] = v;
        h.params[SeqSmoothModA] = 1.0f;
        h.params[SeqMode] = v;
        h.press(0);
        h.press(127);
        h.run(4 * kStepSamples);
        EXPECT_FALSE(h.noteOns().empty()) << v;
        for (const SentNote& n : h.sent) {
            EXPECT_GE(n.note, 0) << v;
            EXPECT_LE(n.note, 127) << v;
            EXPECT_GE(n.velocity, 0) << v;
            EXPECT_LE(n.velocity, 127) << v;
        }
        EXPECT_GE(h.seq.shownStep(), 0);
        EXPECT_LT(h.seq.shownStep(), 16);
        EXPECT_TRUE(std::isfinite(h.seq.seqModA())) << v;
        EXPECT_LE(std::fabs(h.seq.seqModA()), 1.01f) << v;
    }

    Harness h;
    h.params[SeqNote1] = 1.0f;
    h.press(-3);
    h.press(128);
    h.run(10);
    EXPECT_TRUE(h.sent.empty());
    h.press(120);  // +24 would leave the MIDI range
    h.run(10);
    ASSERT_EQ(h.noteOns().size(), 1u);
    EXPECT_EQ(h.noteOns()[0].note, 127);
}

TEST(StepSequencer, LoweredStepCountWrapsTheComingStep) {
    Harness h;
    for (int i = 0; i < 16; ++i) h.params[SeqNote1 + i] = 0.5f + (i + 0.5f) / 48.0f;  // +i
    h.press(60);
    h.run(10 * kStepSamples + 1);
    EXPECT_EQ(h.noteOns().back().note, 70);
    h.params[SeqStepCount] = 3.0f / 15.0f;  // four steps
    h.run(kStepSamples);
    EXPECT_EQ(h.noteOns().back().note, 60);
    EXPECT_EQ(h.seq.shownStep(), 0);
}

TEST(StepSequencer, TempoChangeAtBlockStartRecomputesTheComingGate) {
    Harness h(64);
    h.params[SeqLen2] = 0.5f;
    h.press(60);
    h.run(1000);
    h.tempo = 240.0f;
    h.run(64);
    EXPECT_EQ(h.seq.stepLength(), kSixteenthAt120 / 2);
    EXPECT_EQ(h.seq.gateLength(), static_cast<int>((0.5f * 0.9f + 0.1f) * (kSixteenthAt120 / 2)));
    h.run(kSixteenthAt120);
    std::vector<SentNote> ons = h.noteOns();
    ASSERT_EQ(ons.size(), 3u);
    EXPECT_EQ(ons[1].time, kSixteenthAt120 / 2 + 1);  // the running step simply ends sooner
    EXPECT_EQ(ons[2].time, 2 * (kSixteenthAt120 / 2 + 1));
}

TEST(StepSequencer, MenuModeChangeTurnsTheDirectionAtOnce) {
    Harness h;
    h.press(60);
    h.press(64);
    h.press(67);
    h.run(kStepSamples + 1);  // 60, 64
    h.params[SeqMode] = 1.0f;
    h.seq.setDirectionFromMode(1.0f);
    h.run(2 * kStepSamples);
    EXPECT_EQ(h.noteOnNumbers(), (std::vector<int>{60, 64, 60, 67}));
}

}  // namespace tvx
