#pragma once

#include <vector>

#include "effects/effect_chain.h"
#include "engine/held_note.h"
#include "engine/lfo.h"
#include "engine/midi_processor.h"
#include "engine/voice.h"
#include "params/midi_settings.h"
#include "params/parameter_sink.h"
#include "sequencer/step_sequencer.h"
#include "tables/wt_collection.h"

namespace tvx {

// Owns the 32 voices and decides which voice plays which note (polyphony,
// oldest-first stealing, mono last-note priority, legato and glide); renders
// the whole engine: sequencer, MIDI, global LFOs, voices, effects. Between
// two events the voices render a run at a time, their filters four voices
// side by side.
class VoiceManager : public MidiProcessor {
public:
    static constexpr int kNumVoices = 32;
    // The longest run rendered at once; longer requests are rendered in turns.
    static constexpr int kMaxRun = Voice::kMaxRun;

    VoiceManager(float* params, MidiSettings* midi, ParameterSink* sink);

    void setSampleRate(float fs);
    // Seeds the instance's random numbers (noise, random shapes and sources).
    void seedRandom(unsigned seed) { random_.seed(seed); }
    void reset();
    void setTempo(float tempo, int denominator);
    // Writes samples start..start + count of a block of blockLength samples.
    // A block is rendered in rising order, from sample 0 on, in calls of any length.
    // Returns whether every sample written is silent (0).
    bool render(float* left, float* right, int blockLength, int start, int count);
    void renderSample(float& left, float& right, int blockLength, int s) { render(&left, &right, blockLength, s, 1); }
    // The next count samples of the voices and effects as they go on by
    // themselves, without events, sequencer steps or block set-up: a sound
    // about to be replaced, to be faded out.
    void renderTail(float* left, float* right, int count);
    bool isVoiceSounding(int voice) const;
    int shownStep() const;

    void controllerValue(int cc, int value) override;
    void noteEvent(const MidiEvent& event) override;
    void allNotesOff() override;
    void learnController(int cc) override;
    void controllerToParameter(int cc, float value) override;

    // Plays what the sequencer decided, in its order.
    void playSequencerNotes(const SequencerNotes& notes);

    const Voice& voice(int index) const { return voices_[index]; }
    int heldNoteCount() const { return static_cast<int>(heldNotes_.size()); }
    const StepSequencer& sequencer() const { return sequencer_; }
    StepSequencer& sequencer() { return sequencer_; }

private:
    int voiceCount() const;
    // tiedStep: a sequencer note (channel -1) that continues a step whose
    // gate was exactly 1.0.
    void playNote(const MidiEvent& event, bool tiedStep);
    bool legatoForNewNote(int channel, int count, bool tiedStep) const;
    void noteOn(const MidiEvent& event, float velocity, int count, bool tiedStep);
    void noteOff(const MidiEvent& event, float velocity, int count, bool tiedStep);
    void allocateVoice(HeldNote note, int count, bool tiedStep);
    int findFreeVoice(int count) const;
    int findVoiceToSteal(int count) const;
    void collectKeyEvents(int s);
    void setUpGlobalLfos();
    void renderGlobalLfos(int count, bool heard);
    // The sample's own work before it sounds: sequencer, events, block set-up.
    void beginSample(int blockLength, int s);
    // Samples from s on that sound without anything changing outside the voices.
    int runLength(int blockLength, int s);
    bool renderRun(float* left, float* right, int count);
    void filterSideBySide(int routing, int first, int used);

    float* params_;
    MidiSettings* midi_;
    ParameterSink* sink_;

    RandomSource random_;
    WtCollection tables_;
    Voice voices_[kNumVoices];
    // The voices playing in the current run, in rising order, and the samples each sounds in.
    int playingVoices_[kNumVoices] = {};
    int soundingSamples_[kNumVoices] = {};
    std::vector<HeldNote> heldNotes_;
    int startCounter_ = 0;
    bool alternateBit_ = false;

    Lfo globalLfos_[3];
    float globalLfoOut_[3][kMaxRun] = {};
    StepSequencer sequencer_;
    std::vector<StepSequencer::KeyEvent> keyEvents_;
    EffectChain effects_;

    PerSampleTargets perSample_ = {};
    ModRouting routing_;
    // Set when MIDI learn changed a parameter within the block: the block-rate
    // set-up is done again.
    bool parametersChanged_ = false;

    float sampleRate_ = 44100.0f;
    float tempo_ = 120.0f;
    int denominator_ = 4;
};

}  // namespace tvx
