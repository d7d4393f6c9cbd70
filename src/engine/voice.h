#pragma once

#include "engine/envelope.h"
#include "engine/filter.h"
#include "engine/held_note.h"
#include "engine/lfo.h"
#include "engine/midi_processor.h"
#include "engine/mod_matrix.h"
#include "engine/noise.h"
#include "engine/oscillator.h"
#include "params/modulation_codes.h"

class WtCollection;

// What the voice manager hands to every voice for one sample.
struct VoiceContext {
    const float* params = nullptr;
    const ControllerState* controllers = nullptr;
    const float* globalLfo = nullptr;   // the three global LFO outputs of this sample
    int voiceCount = 1;                 // glide only acts with a single voice
    PerSampleTargets perSample = {};
    // Samples from this one on (itself included) before anything outside the
    // voice can change what its oscillators play: an event, a sequencer step
    // or the block end.
    int steadySamples = 1;
};

// One playing note: three oscillators, noise, two filters, three envelopes and
// three LFOs joined by the modulation matrix. The manager reads and writes the
// note, start order, envelopes and glide state directly.
class Voice {
public:
    static constexpr int kControlPeriod = 65;

    void prepare(float sampleRate, const WtCollection* tables);
    // The instance's random numbers, for every part of the voice that draws.
    void attachRandom(RandomSource* random);
    void setTempo(float tempo, int denominator);

    // A free voice taken for a note: start phases, envelopes idle at 0, LFO
    // restart, modulation cleared, a new random value, control work at once.
    void reset(const float* params);
    // A stolen voice that must sound like a new note.
    void retrigger(const float* params);
    // Copies the note, sets up glide and puts the envelopes into attack.
    void start(const HeldNote& note, int order);
    void release(float releaseVelocity);

    bool active() const { return envelopes[0].state != Envelope::Idle; }
    bool sounding() const { return active() && envelopes[0].state != Envelope::Release; }

    // Adds this voice's sample to the accumulators.
    void render(const VoiceContext& context, float& left, float& right);

    HeldNote held;
    int startOrder = 0;
    Envelope envelopes[3];
    Lfo lfos[3];
    float currentPitch = 0.0f;       // in MIDI note numbers
    float glide = 0.0f;              // g of the one-pole glide
    float glideComplement = 1.0f;    // 1 - g
    bool pitchSet = true;

    const float* modulationSums() const { return sums_; }
    int controlCounter() const { return controlCounter_; }

private:
    float advancePitch(int voiceCount);
    float advanceEnvelopes(const float* params, bool setTimes, const PerSampleTargets& perSample);
    void advanceLfos(const float* params, bool setUp, const PerSampleTargets& perSample, const float* globalLfo);
    void fillSources(const ControllerState& controllers);
    void evaluateModulation(const float* params, const ControllerState& controllers);
    void setUpOscillators(const float* params, float pitchBend, float pitch);
    void setUpFilters(const float* params, float pitch);
    void renderSources(const float* params, int steadySamples, float* a, float* b);
    void renderOscillatorStretch(const float* params, int steadySamples);
    void discardOscillatorStretch() { stretchLength_ = stretchPosition_ = 0; }
    void routeThroughFilters(const float* params, const float* a, const float* b, float& left, float& right);
    void recoverFromInvalidOutput();

    Oscillator oscillators_[3];
    // Oscillator output rendered ahead up to the next control step: oscillators
    // 1 + 3 (into filter 1 in the split routing) and oscillator 2.
    float stretchA_[2][kControlPeriod] = {};
    float stretchB_[2][kControlPeriod] = {};
    int stretchLength_ = 0;
    int stretchPosition_ = 0;
    Noise noise_;
    Filter filters_[2];
    ModSources sources_;
    float sums_[kNumModTargets] = {};
    float envelopeOut_[3] = {};
    float lfoOut_[3] = {};
    float randomValue_ = 0.0f;
    RandomSource* random_ = nullptr;
    int controlCounter_ = 0;
    float sampleRate_ = 44100.0f;
    float tempo_ = 120.0f;
    int denominator_ = 4;
    bool hasPlayed_ = false;         // no pitch to glide from before the first note
};
