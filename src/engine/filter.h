#pragma once

#include "dsp/settling_smoother.h"

namespace tvx {

// One stereo multimode filter of a voice: type 1 a four-pole zero-delay
// ladder lowpass with saturation, types 2..6 a trapezoidal state-variable
// filter (lowpass, highpass, bandpass, bandstop, peaking); type 0 bypasses.
class Filter {
public:
    Filter() { forgetSetup(); }
    enum Type { Bypass = 0, Lowpass24 = 1, Lowpass12 = 2, Highpass = 3, Bandpass = 4, Bandstop = 5, Peaking = 6 };

    void prepare(float sampleRate);
    void jumpSmoothers();
    // per-sample set-up: typeParam = Flt1Type..., cutoff and resonance = parameter + modulation (clamped
    // inside), pitch = voice pitch as MIDI note after glide, track = Flt1Track
    void setUp(float typeParam, float cutoff, float resonance, float pitch, float track);
    bool active() const;                      // type != 0
    void process(float& left, float& right);  // bypass when inactive; otherwise clip, smooth, coefficients, run
    // count samples of process, in place; with per-sample targets (from
    // setup) when they are given.
    void processRun(float* left, float* right, int count, const float* cutoffTargets = nullptr,
                    const float* resonanceTargets = nullptr);

    int type() const { return type_; }
    float cutoffTarget() const { return cutoffTarget_; }   // normalised, 0..0.5
    float resonanceTarget() const { return resonanceTarget_; }
    void clear();  // not used by note starts; for a state that went bad, and tests

private:
    // Both channels side by side (lanes 0 and 1; lanes 2 and 3 stay at 0)
    // so that one SSE register carries the stereo pair.
    struct alignas(16) LadderState {
        float previousInput[4] = {}, s1[4] = {}, s2[4] = {}, s3[4] = {}, s4[4] = {};
    };
    struct alignas(16) SvfState {
        float ic1[4] = {}, ic2[4] = {};
    };

    float warpedCutoff(float cutoff);  // tan(pi * cutoff), recomputed only when the cutoff changes
    bool setLadderCoefficients(float cutoff, float resonance);
    bool setSvfCoefficients(float cutoff, float resonance);
    friend class FilterLanes;
    // Returns whether the coefficients changed.
    bool advanceSmoothers(bool ladder);
    void takeTargets(const float* cutoffTargets, const float* resonanceTargets, int i) {
        if (!cutoffTargets) return;
        cutoffTarget_ = cutoffTargets[i];
        resonanceTarget_ = resonanceTargets[i];
    }
    // Filter count samples of both channels in place; a channel whose state
    // went bad is cleared and gives 0.
    void runLadder(float* left, float* right, int count, const float* cutoffTargets, const float* resonanceTargets);
    void runSvf(float* left, float* right, int count, const float* cutoffTargets, const float* resonanceTargets);

    float sampleRate_ = 44100.0f;
    float inverseSampleRate_ = 1.0f / 44100.0f;
    int type_ = Bypass;
    float cutoffTarget_ = 0.0f;
    float resonanceTarget_ = 0.0f;

    // coefficients, and the cutoff, resonance and type they were made for
    float g_ = 0.0f, k_ = 0.0f, gain_ = 1.0f;
    float ladderR_ = 1.0f, ladderG4_ = 0.0f, ladderS1_ = 0.0f, ladderS2_ = 0.0f, ladderS3_ = 0.0f;
    float a1_ = 0.0f, a2_ = 0.0f, a3_ = 0.0f, m0_ = 0.0f, m1_ = 0.0f, m2_ = 0.0f;
    float coefficientCutoff_ = -1.0f, coefficientResonance_ = -1.0f;
    int coefficientType_ = Bypass;

    // Caches of the two costly set-up functions, keyed by their inputs
    // (NaN keys never match, so they are always recomputed).
    static constexpr int kSetupInputs = 5;
    float setupInputs_[kSetupInputs] = {};  // NaN after forgetSetup: the next set-up is always done
    void forgetSetup();
    float trackedPitch_ = -1.0e30f, trackAmount_ = 0.0f, trackingFactor_ = 1.0f;
    float warpedFrom_ = -1.0f, warped_ = 0.0f;

    LadderState ladder_;
    SvfState svf_;
    SettlingSmoother cutoff_, resonance_;
};

}  // namespace tvx
