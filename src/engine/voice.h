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

namespace tvx {

class WtCollection;

// What the voice manager hands to every voice for one run: samples between
// two events, in which nothing outside the voice changes but the global LFOs.
struct VoiceContext {
    const float* params = nullptr;
    const ControllerState* controllers = nullptr;
    // The three global LFOs' outputs, one row of globalLfoStride samples per
    // LFO, from the run's first sample on.
    const float* globalLfo = nullptr;
    int globalLfoStride = 1;
    int voiceCount = 1;                 // glide only acts with a single voice
    PerSampleTargets perSample = {};
    const ModRouting* routing = nullptr;   // decoded from params
};

// One playing note: three oscillators, noise, two filters, three envelopes and
// three LFOs joined by the modulation matrix. The manager reads and writes the
// note, start order, envelopes and glide state directly.
class Voice {
public:
    static constexpr int kControlPeriod = 65;
    static constexpr int kMaxRun = 128;

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

    // Adds count samples (at most kMaxRun) of this voice to left and right.
    // A voice that ends within the run adds nothing after its last sample.
    void renderRun(const VoiceContext& context, float* left, float* right, int count);
    // One sample of renderRun.
    void render(const VoiceContext& context, float& left, float& right) { renderRun(context, &left, &right, 1); }

    // renderRun in three steps, so that the manager can run the filters of
    // several voices side by side: the sources, gains and filter targets of
    // the run (returns the samples the voice sounds in); the filters, alone
    // or by the manager through the accessors; the output.
    int renderSources(const VoiceContext& context, int count);
    static int filterRouting(const float* params);
    void mixFilterInputs(int routing, int count);
    void filterAlone(int routing, int count);
    void mixFilterOutputs(int routing, int count);
    void addOutput(float* left, float* right, int count);
    Filter& filter(int j) { return filters_[j]; }
    float* filterLeft(int routing, int j);
    float* filterRight(int routing, int j);
    const float* cutoffTargets(int j) const { return cutoffTargets_[j]; }
    const float* resonanceTargets(int j) const { return resonanceTargets_[j]; }

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
    // A span: up to the next control step, within one run.
    int prepareSpan(const VoiceContext& context, int offset, int count);
    float advancePitch(int voiceCount);
    int advanceEnvelopes(const float* params, bool setTimes, const PerSampleTargets& perSample, int offset,
                         int count);
    void advanceLfos(const VoiceContext& context, bool setUp, int offset, int count);
    void fillSources(const ControllerState& controllers);
    void evaluateModulation(const ModRouting& routing, const ControllerState& controllers);
    void setUpOscillators(const float* params, float pitchBend, float pitch);
    void setUpFilters(const float* params, float pitch);
    void recordFilterTargets(const float* params, int from, int count, bool glide);
    void renderOscillatorsAndNoise(const float* params, int from, int count);
    void recoverFromInvalidOutput();

    Oscillator oscillators_[Oscillator::kPerVoice];
    // One run: oscillators 1 + 3 (into filter 1 in the split routing) in a,
    // oscillator 2 and the noise in b, the voice's output in a at the end;
    // the envelope gain and the filters' targets per sample; the pitch of
    // one span, with glide.
    float runA_[2][kMaxRun] = {};
    float runB_[2][kMaxRun] = {};
    float gain_[kMaxRun] = {};
    float cutoffTargets_[2][kMaxRun] = {};
    float resonanceTargets_[2][kMaxRun] = {};
    float pitch_[kControlPeriod] = {};
    Noise noise_;
    Filter filters_[2];
    ModSources sources_;
    float sums_[kNumModTargets] = {};
    float envelopeOut_[3] = {};
    float lfoOut_[3] = {};
    float randomValue_ = 0.0f;
    RandomSource* random_ = nullptr;   // the instance's: note starts draw from it
    // The voice's own streams, seeded from the instance's at each new note,
    // so that rendering one voice for a run draws the same numbers as
    // rendering all voices sample by sample.
    RandomSource lfoRandom_[3];
    RandomSource noiseRandom_;
    int controlCounter_ = 0;
    float sampleRate_ = 44100.0f;
    float tempo_ = 120.0f;
    int denominator_ = 4;
    bool hasPlayed_ = false;         // no pitch to glide from before the first note
};

}  // namespace tvx
