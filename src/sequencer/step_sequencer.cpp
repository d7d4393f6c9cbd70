#include "sequencer/step_sequencer.h"

#include <cmath>

#include "params/note_division.h"
#include "params/parameter_id.h"
#include "params/value_mappings.h"

namespace tvx {

namespace {

constexpr float kDefaultTempo = 120.0f;
constexpr int kDefaultDenominator = 4;
constexpr float kDefaultSampleRate = 44100.0f;

// Step parameters arrive from presets, chunks and MIDI learn: keep them in
// their 0..1 range, with NaN mapped to a harmless value chosen per use.
float unitValue(float v, float nanValue) {
    if (std::isnan(v)) return nanValue;
    if (v < 0.0f) return 0.0f;
    if (v > 1.0f) return 1.0f;
    return v;
}

int clampInt(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }

bool switchOn(float v) { return v > 0.0f; }  // NaN is off

float stepModValue(const float* params, int first, int stepIndex) {
    return (unitValue(params[first + stepIndex], 0.5f) - 0.5f) * 2.0f;
}

}  // namespace

void StepSequencer::prepare(float sampleRate) {
    sampleRate_ = (std::isfinite(sampleRate) && sampleRate > 0.0f) ? sampleRate : kDefaultSampleRate;
}

int StepSequencer::computeStepLength(float stepSizeValue, float tempo, int denominator,
                                     float sampleRate) {
    // A host that reports no usable tempo or time signature is treated like a
    // host without time info.
    if (!std::isfinite(tempo) || tempo <= 0.0f) tempo = kDefaultTempo;
    if (denominator <= 0) denominator = kDefaultDenominator;
    if (!std::isfinite(sampleRate) || sampleRate <= 0.0f) sampleRate = kDefaultSampleRate;

    const NoteDivision& division = stepDivision(stepDivisionIndex(stepSizeValue));
    // One product per statement: the rounding of every intermediate to float
    // then holds on x87 builds too, so all builds agree on the sample count.
    float beats = static_cast<float>(denominator) / division.note;
    float beatMs = 60.0f / tempo;
    beatMs = beatMs * 1000.0f;
    float length = beats * beatMs;
    length = length * division.factor;
    length = length * 0.001f;
    length = length * sampleRate;

    // Huge tempos round down to nothing and tiny ones overflow to infinity;
    // clamp before converting so the int conversion is always defined.
    if (!(length >= 1.0f)) return 1;
    if (length >= static_cast<float>(kMaxStepLength)) return kMaxStepLength;
    return static_cast<int>(length);
}

int StepSequencer::gateFor(const float* params, int stepIndex) const {
    float share = unitValue(params[SeqLen1 + stepIndex], 0.0f);
    share = share * 0.9f;
    share = share + 0.1f;
    float gate = share * static_cast<float>(stepLength_);
    // At a step length below ten samples the shortest gate would round to 0
    // and cut the note on the sample it starts.
    return clampInt(static_cast<int>(gate), 1, stepLength_ > 1 ? stepLength_ : 1);
}

SequencerNotes StepSequencer::beginBlock(const float* params, float tempo, int denominator) {
    SequencerNotes out;
    int newLength = computeStepLength(params[SeqStepSize], tempo, denominator, sampleRate_);
    if (newLength != stepLength_) {
        stepLength_ = newLength;
        gateLength_ = gateFor(params, stepIndex_);
    }

    bool wanted = switchOn(params[UseSequencer]);
    if (wanted && !running_) restart(true, out);
    else if (!wanted && running_) restart(false, out);
    return out;
}

SequencerNotes StepSequencer::stop() {
    SequencerNotes out;
    restart(false, out);
    return out;
}

void StepSequencer::restart(bool run, SequencerNotes& out) {
    SequencerNote allOff;
    allOff.kind = SequencerNote::AllNotesOff;
    out.add(allOff);
    running_ = run;
    phraseActive_ = false;
    firstStepOfPhrase_ = false;
    lastPicked_ = -1;
    shownStep_ = -1;
    sampleCounter_ = 0;
    stepIndex_ = 0;
    gateLength_ = 0;
    heldCount_ = 0;
    slopeA_ = 0.0f;
    slopeB_ = 0.0f;
    seqModA_ = 0.0f;
    seqModB_ = 0.0f;
}

void StepSequencer::setDirectionFromMode(float seqModeValue) {
    directionUp_ = choiceValue(seqModeValue) != ModeDown;
}

bool StepSequencer::previousStepTied(const float* params) const {
    // "Previous" is the step before the sounding one, wrapping to the last
    // step of the current count. Nothing sounds before a phrase's first step
    // (and between phrases), so there is nothing to be tied to: false.
    if (!phraseActive_ || shownStep_ < 0 || firstStepOfPhrase_) return false;
    int previous = shownStep_ - 1;
    if (previous < 0) previous = seqStepCountFromValue(params[SeqStepCount]) - 1;
    return params[SeqLen1 + previous] == 1.0f;
}

void StepSequencer::addHeldNote(int note) {
    int at = 0;
    while (at < heldCount_ && heldNotes_[at] < note) ++at;
    if (at < heldCount_ && heldNotes_[at] == note) return;
    for (int i = heldCount_; i > at; --i) heldNotes_[i] = heldNotes_[i - 1];
    heldNotes_[at] = note;
    ++heldCount_;
}

void StepSequencer::removeHeldNote(int note) {
    int kept = 0;
    for (int i = 0; i < heldCount_; ++i)
        if (heldNotes_[i] != note) heldNotes_[kept++] = heldNotes_[i];
    heldCount_ = kept;
}

void StepSequencer::applyKeyEvent(const KeyEvent& event) {
    if (event.note < 0 || event.note > 127) return;  // the list holds MIDI notes only
    if (event.kind == kNoteOn) addHeldNote(event.note);
    else if (event.kind == kNoteOff) removeHeldNote(event.note);
}

int StepSequencer::pickNextNote(int mode) {
    if (heldCount_ == 0) return -1;
    if (heldCount_ == 1) return heldNotes_[0];
    const int lowest = heldNotes_[0];
    const int highest = heldNotes_[heldCount_ - 1];
    if (directionUp_) {
        for (int i = 0; i < heldCount_; ++i)
            if (heldNotes_[i] > lastPicked_) return heldNotes_[i];
        if (mode != ModeUpDown) return lowest;
        directionUp_ = false;
        return highest;
    }
    for (int i = heldCount_ - 1; i >= 0; --i)
        if (heldNotes_[i] < lastPicked_) return heldNotes_[i];
    if (mode != ModeUpDown) return highest;
    directionUp_ = true;
    return lowest;
}

// The tie is read as the note is decided, before the step moves on.
SequencerNote StepSequencer::decided(const float* params, int kind, int s, int note, int velocity) const {
    SequencerNote n;
    n.kind = kind;
    n.deltaFrames = s;
    n.note = note;
    n.velocity = velocity;
    n.tied = previousStepTied(params);
    return n;
}

void StepSequencer::phraseEnded(const float* params, int s, SequencerNotes& out) {
    out.add(decided(params, kNoteOff, s, soundingNote_, kNoteOffVelocity));
    phraseActive_ = false;
    firstStepOfPhrase_ = false;
    lastPicked_ = -1;
    stepIndex_ = 0;
    shownStep_ = -1;
    sampleCounter_ = -1;
    // The counter keeps running between phrases; without this the last
    // step's slope would carry Seq Mod A/B away until the next key.
    slopeA_ = 0.0f;
    slopeB_ = 0.0f;
}

void StepSequencer::startStep(const float* params, int g, int s, SequencerNotes& out) {
    const int count = seqStepCountFromValue(params[SeqStepCount]);
    // A count lowered below the coming step takes effect at once.
    if (stepIndex_ >= count) stepIndex_ = 0;
    gateLength_ = gateFor(params, stepIndex_);
    if (g == -1) return;

    const int velocity =
        clampInt(seqVelocityFromValue(unitValue(params[SeqVel1 + stepIndex_], 0.0f)), 0, 127);
    // A rest leaves the pick one short of g so the next pick lands on g again.
    lastPicked_ = velocity == 0 ? (directionUp_ ? g - 1 : g + 1) : g;
    const int transpose = seqNoteOffsetFromValue(unitValue(params[SeqNote1 + stepIndex_], 0.5f));
    soundingNote_ = clampInt(g + transpose, 0, 127);

    // The step counts as sounding before its note-on is decided, so the tie
    // is that of this step's predecessor.
    firstStepOfPhrase_ = !phraseActive_;
    phraseActive_ = true;
    shownStep_ = stepIndex_;
    out.add(decided(params, kNoteOn, s, soundingNote_, velocity));

    seqModA_ = stepModValue(params, SeqModA1, stepIndex_);
    seqModB_ = stepModValue(params, SeqModB1, stepIndex_);
    const bool smoothA = switchOn(params[SeqSmoothModA]);
    const bool smoothB = switchOn(params[SeqSmoothModB]);
    if (smoothA || smoothB) {
        int next = stepIndex_ + 1;
        if (next >= count) next = 0;
        const float length = static_cast<float>(stepLength_);
        if (smoothA) slopeA_ = (stepModValue(params, SeqModA1, next) - seqModA_) / length;
        if (smoothB) slopeB_ = (stepModValue(params, SeqModB1, next) - seqModB_) / length;
    }

    stepIndex_ = stepIndex_ + 1 >= count ? 0 : stepIndex_ + 1;
}

int StepSequencer::samplesUntilNextStep() const {
    // The counter runs from 0 to the step length inclusive; a step starts
    // where it is 0.
    if (sampleCounter_ <= 0 || stepLength_ < sampleCounter_) return 1;
    return stepLength_ - sampleCounter_ + 2;
}

SequencerNotes StepSequencer::step(const float* params, int s, const KeyEvent* events, int eventCount) {
    SequencerNotes out;
    if (!running_) return out;
    for (int i = 0; i < eventCount; ++i) applyKeyEvent(events[i]);

    const int mode = choiceValue(params[SeqMode]);
    // A new phrase takes its direction from the mode before its first pick,
    // so a direction left over from the last phrase cannot pick its first note.
    const bool phraseStarts = heldCount_ > 0 && !phraseActive_;
    if (phraseStarts) directionUp_ = mode != ModeDown;

    const int g = pickNextNote(mode);
    if (g == -1) {
        if (phraseActive_) phraseEnded(params, s, out);
    } else if (phraseStarts) {
        sampleCounter_ = 0;
    }

    if (phraseActive_ && sampleCounter_ >= gateLength_)
        out.add(decided(params, kNoteOff, s, soundingNote_, kNoteOffVelocity));

    if (sampleCounter_ == 0) startStep(params, g, s, out);

    if (switchOn(params[SeqSmoothModA])) seqModA_ += slopeA_;
    if (switchOn(params[SeqSmoothModB])) seqModB_ += slopeB_;

    ++sampleCounter_;
    if (sampleCounter_ > stepLength_) sampleCounter_ = 0;
    return out;
}

}  // namespace tvx
