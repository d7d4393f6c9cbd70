#pragma once

#include <cmath>

namespace tvx {

// Unit mappings of normalised parameter values, shared by the engine and the
// display texts. Counts are always kept inside their ranges, also for NaN and
// out-of-range values.

int voiceCountFromPolyphony(float v);   // 1 + floor(31 v), 1..32
int seqStepCountFromValue(float v);     // 1 + trunc(15 v), 1..16
int seqNoteOffsetFromValue(float v);    // floor((v - 0.5) * 48)
int seqVelocityFromValue(float v);      // trunc(127 v)

float lfoRateHz(float v);        // v^3 * 19.99 + 0.01
float delayTimeMs(float v);      // v^2 * 5990 + 10
float chorusRateHz(float v);     // v^2 * 9.9 + 0.1
float driveGainLinear(float v);  // 10^(2v - 1)
float eqGainDb(float v);         // (v - 0.5) * 40
float eq1FrequencyHz(float v);   // v^3 * 980 + 20
float eq2FrequencyHz(float v);   // v^3 * 17500 + 500
inline float chorusDelayMs(float unit) { return unit * 7.9f + 0.1f; }  // unit = clamped 0..1
inline float delayLowCutHz(float v) { return v * v * v * v * 13990.0f + 10.0f; }

// The pitch, time and frequency mappings the voices apply. Inline: the
// filter set-up runs them every sample while a note glides. The editor's
// value texts use the same functions, so what it shows is what sounds.
inline float oscSemitones(float v) { return std::floor((v - 0.5f) * 48.0f); }        // -24..+24
inline float oscFineSemitones(float v) { return std::floor((v - 0.5f) * 200.0f) / 100.0f; }  // whole cents
inline double envelopeSeconds(double unit) { return 20.0 * unit * unit * unit; }  // unit = clamped 0..1
inline float cutoffHz(float unit) {                                               // unit = clamped 0..1
    const float squared = unit * unit;
    return 20.0f + 20980.0f * squared * squared * unit;
}
inline float lfoAttackSeconds(float unit) { return 0.001f * 20000.0f * unit * unit; }  // before whole samples
inline float glideMilliseconds(float v) { return v * 1000.0f; }
inline float referencePitchHz(float masterTune) {
    const float hz = 440.0f + (masterTune - 0.5f) * 100.0f;
    return std::isfinite(hz) ? hz : 440.0f;
}
inline float fmRatio(float unit) { return std::floor(18.0f * unit) * 0.5f; }  // plus 1 and modulation
inline int unisonCount(float unit) { return 1 + static_cast<int>(7.0f * unit); }
int pitchBendRange(float v);  // whole semitones 0..24
// The factor of a bipolar amount knob, -1..+1 (NaN gives 0).
float bipolarAmount(float v);

// Truncation of a stored whole-number value, as the engine reads choices:
// NaN and values beyond the int range give `fallback`.
int choiceValue(float v, int fallback = 0);

}  // namespace tvx
