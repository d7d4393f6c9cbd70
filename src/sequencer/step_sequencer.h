#pragma once

namespace tvx {

// Sixteen-step sequencer: while it runs, held keys only fill a sorted set of
// notes, and each step plays the next of them (up, down or up and down),
// transposed, with the step's velocity and gate, and sets the two step
// modulation values.

// What the sequencer decided at one sample, in the order it decided it; the
// caller plays these notes (channel -1) right after the step. The sequencer
// itself knows nothing of voices.
struct SequencerNote {
    // Same numbers as the MIDI event kinds for note on and note off.
    enum Kind { NoteOn = 1, NoteOff = 2, AllNotesOff = 3 };
    int kind = NoteOn;
    int deltaFrames = 0;
    int note = 0;
    int velocity = 0;
    // The step before the sounding one had its gate at exactly 1.0 when this
    // note was decided: the note continues that step's note (legato, no restart).
    bool tied = false;
};

struct SequencerNotes {
    // A sample ends a phrase or a gate and starts a step at most: three
    // notes, or one all-notes-off at a block start.
    static constexpr int kMax = 4;
    SequencerNote notes[kMax];
    int count = 0;

    void add(const SequencerNote& note) {
        if (count < kMax) notes[count++] = note;
    }
    const SequencerNote* begin() const { return notes; }
    const SequencerNote* end() const { return notes + count; }
};

class StepSequencer {
public:
    static constexpr int kNumSteps = 16;
    static constexpr int kNoteOn = 1;
    static constexpr int kNoteOff = 2;
    static constexpr int kNoteOffVelocity = 100;
    // Longest step we count (about 6.7 hours at 44.1 kHz): keeps the sample
    // counter far from the int limit whatever tempo the host reports.
    static constexpr int kMaxStepLength = 1 << 28;

    struct KeyEvent {
        int kind;
        int note;
    };

    void prepare(float sampleRate);

    // Block start: step length / gate update, then start or stop by
    // UseSequencer (start and stop begin with an all-notes-off and reset the
    // state).
    SequencerNotes beginBlock(const float* params, float tempo, int denominator);

    // One sample while running: takes this sample's key events (in event
    // order), decides the step notes and updates Seq Mod A/B.
    SequencerNotes step(const float* params, int s, const KeyEvent* events, int eventCount);

    bool running() const { return running_; }
    int shownStep() const { return shownStep_; }
    float seqModA() const { return seqModA_; }
    float seqModB() const { return seqModB_; }

    // True when the step before the sounding one has its gate at exactly 1.0.
    bool previousStepTied(const float* params) const;

    // Menu change of the mode: up unless "Down".
    void setDirectionFromMode(float seqModeValue);

    // Silences everything and stops.
    SequencerNotes stop();

    // Samples per step as the block start computes it (the step lasts one more).
    static int computeStepLength(float stepSizeValue, float tempo, int denominator,
                                 float sampleRate);

    int stepLength() const { return stepLength_; }
    // Samples from the next one until the one that may start a step and play
    // a note (1 when that is the next sample).
    int samplesUntilNextStep() const;
    int gateLength() const { return gateLength_; }
    int heldNoteCount() const { return heldCount_; }

private:
    enum Mode { ModeUp = 0, ModeDown = 1, ModeUpDown = 2 };

    void restart(bool run, SequencerNotes& out);
    void applyKeyEvent(const KeyEvent& event);
    void addHeldNote(int note);
    void removeHeldNote(int note);
    int pickNextNote(int mode);
    void phraseEnded(const float* params, int s, SequencerNotes& out);
    void startStep(const float* params, int g, int s, SequencerNotes& out);
    SequencerNote decided(const float* params, int kind, int s, int note, int velocity) const;
    int gateFor(const float* params, int stepIndex) const;

    float sampleRate_ = 44100.0f;
    bool running_ = false;
    bool directionUp_ = true;
    // A phrase runs from its first held key to the release of the last one.
    // Kept apart from lastPicked_ because a rest on note 0 legitimately
    // leaves lastPicked_ at -1.
    bool phraseActive_ = false;
    bool firstStepOfPhrase_ = false;
    int heldNotes_[128] = {};
    int heldCount_ = 0;
    int lastPicked_ = -1;
    int soundingNote_ = 0;
    int stepIndex_ = 0;
    int shownStep_ = -1;
    int stepLength_ = 0;
    int gateLength_ = 0;
    int sampleCounter_ = 0;
    float slopeA_ = 0.0f;
    float slopeB_ = 0.0f;
    float seqModA_ = 0.0f;
    float seqModB_ = 0.0f;
};

}  // namespace tvx
