#pragma once

#include "engine/param_smoother.h"

// One stereo multimode filter of a voice: type 1 a four-pole zero-delay
// ladder lowpass with saturation, types 2..6 a trapezoidal state-variable
// filter (lowpass, highpass, bandpass, bandstop, peaking); type 0 bypasses.
class Filter {
public:
    enum Type { Bypass = 0, Lowpass24 = 1, Lowpass12 = 2, Highpass = 3, Bandpass = 4, Bandstop = 5, Peaking = 6 };

    void prepare(float sampleRate);
    void jumpSmoothers();
    // per-sample set-up: typeParam = Flt1Type..., cutoff and resonance = parameter + modulation (clamped
    // inside), pitch = voice pitch as MIDI note after glide, track = Flt1Track
    void setup(float typeParam, float cutoff, float resonance, float pitch, float track);
    bool active() const;                      // type != 0
    void process(float& left, float& right);  // bypass when inactive; otherwise clip, smooth, coefficients, run

    int type() const { return type_; }
    float cutoffTarget() const { return cutoffTarget_; }   // normalised, 0..0.5
    float resonanceTarget() const { return resonanceTarget_; }
    void clearState();  // not used by note starts; for a state that went bad, and tests

private:
    struct LadderChannel { float previousInput = 0.0f, s1 = 0.0f, s2 = 0.0f, s3 = 0.0f, s4 = 0.0f; };
    struct SvfChannel { float ic1 = 0.0f, ic2 = 0.0f; };

    // Per-sample products of the ladder's stage gains, shared by both channels.
    struct LadderGains { float r, G4, s1, s2, s3; };

    float warpedCutoff(float cutoff);  // tan(pi * cutoff), recomputed only when the cutoff changes
    void processLadder(float cutoff, float resonance, float& left, float& right);
    void processSvf(float cutoff, float resonance, float& left, float& right);
    float runLadder(LadderChannel& c, const LadderGains& gains, float x) const;
    float runSvf(SvfChannel& c, float x) const;

    float sampleRate_ = 44100.0f;
    float inverseSampleRate_ = 1.0f / 44100.0f;
    int type_ = Bypass;
    float cutoffTarget_ = 0.0f;
    float resonanceTarget_ = 0.0f;

    // per-sample coefficients
    float g_ = 0.0f, k_ = 0.0f, gain_ = 1.0f;
    float a1_ = 0.0f, a2_ = 0.0f, a3_ = 0.0f, m0_ = 0.0f, m1_ = 0.0f, m2_ = 0.0f;

    // Caches of the two costly set-up functions, keyed by their inputs
    // (NaN keys never match, so they are always recomputed).
    float trackedPitch_ = -1.0e30f, trackAmount_ = 0.0f, trackingFactor_ = 1.0f;
    float warpedFrom_ = -1.0f, warped_ = 0.0f;

    LadderChannel ladder_[2];
    SvfChannel svf_[2];
    ParamSmoother cutoff_, resonance_;
};
