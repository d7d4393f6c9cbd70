#pragma once

#include "dsp/settling_smoother.h"

namespace tvx {

// ADSR envelope with exponential segments. The attack aims above 1 and is cut
// there; decay and release aim slightly below their targets so they arrive in
// a finite number of samples instead of creeping towards them forever.
// Everything the segments are computed from is double: lengths, curve
// constants, coefficients and the level. For long segments the coefficient
// lies within 1e-7 of 1, where float arithmetic loses a tenth of the
// segment's length, and a pitch target into FM turns even a few ulps of
// difference into audible drift.
// A release time of 0 would drop the level to 0 in one sample, a click on
// every key release; it falls in a straight line over 1 ms instead.
struct Envelope {
    enum State { Idle = 0, Attack = 1, Decay = 2, Sustain = 3, Release = 4 };

    int state = Idle;
    double level = 0.0;
    double attackLength = 0.0;   // samples
    double decayLength = 0.0;
    double releaseLength = 0.0;
    double attackCoeff = 0.0;
    double decayCoeff = 0.0;
    double releaseCoeff = 0.0;
    float sustain = 1.0f;
    double attackCurve = 2.0;    // the attack approaches 1 + attackCurve
    double decayCurve = 0.01;    // decay/release approach their target minus this
    double attackOffset = 3.0;   // (1 + attackCurve) * (1 - attackCoeff)
    double decayOffset = 0.99;   // (1 - decayCoeff) * (sustain - decayCurve)
    double releaseOffset = -0.01;
    float sampleRate = 44100.0f;
    // Built for 44.1 kHz and deliberately not rebuilt for other rates, like
    // every other smoother of a voice.
    SettlingSmoother sustainSmoother;

    // The coefficient of the last length and curve a segment had. Modulated
    // times are set every sample but change only at control rate, and the
    // exp/log pair is the costly part.
    struct SegmentCache {
        double length = -1.0;   // no segment has this length, so the first call computes
        double curveOf = 0.0;
        double value = 0.0;
        double coeff(double curve, double segmentLength);
    };
    SegmentCache attackCache, decayCache, releaseCache;

    void prepare(float sampleRate);
    // attack/decay/release = parameter + modulation (clamped 0..1 inside); recomputes the coefficients
    void setTimes(float attack, float decay, float release);
    // every sample: sustain = parameter + modulation (clamped, smoothed), decay offset recomputed
    void setSustain(float sustain);
    float process();     // one envelope step, returns level
    // count steps of setSustain and process with one sustain target: the
    // levels go to out, and the samples up to and including the one in which
    // the envelope ended are returned (count if it did not end).
    int runUntilIdle(float sustainTarget, float* out, int count);
    // count steps as above; returns the last level.
    float run(float sustainTarget, int count);
    void start();        // state = Attack from the present level
    void release();      // any non-idle state -> Release
    void reset();        // Idle, level 0, sustain smoother jumps

    // Segment length in samples for a normalised time: 20 s * x^3.
    static double segmentLength(float time, float sampleRate);
    // Per-sample coefficient of a segment that covers ln(ratio) in `length` samples.
    static double segmentCoeff(double ratio, double length);
    // The release of time 0: the fall per sample that takes a full level to 0 in 1 ms.
    static double releaseFadeStep(float sampleRate);

private:
    bool holdsSustain(float target) const;
};

}  // namespace tvx
