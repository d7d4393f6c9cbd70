#pragma once

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

// Truncation of a stored whole-number value, as the engine reads choices:
// NaN and values beyond the int range give `fallback`.
int choiceValue(float v, int fallback = 0);
