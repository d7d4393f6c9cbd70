#include "params/value_mappings.h"

#include <cmath>

namespace tvx {

namespace {

int clampInt(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }

// Converts a finite float that fits an int; anything else gives `fallback`.
int toIntOr(float v, int fallback) {
    if (!(v > -2147483520.0f && v < 2147483520.0f)) return fallback;
    return static_cast<int>(v);
}

}  // namespace

int choiceValue(float v, int fallback) { return toIntOr(v, fallback); }

int voiceCountFromPolyphony(float v) {
    return clampInt(1 + toIntOr(std::floor(31.0f * v), 0), 1, 32);
}

int seqStepCountFromValue(float v) { return clampInt(1 + toIntOr(15.0f * v, 0), 1, 16); }

int seqNoteOffsetFromValue(float v) { return toIntOr(std::floor((v - 0.5f) * 48.0f), 0); }

int seqVelocityFromValue(float v) { return toIntOr(127.0f * v, 0); }

float lfoRateHz(float v) { return v * v * v * 19.99f + 0.01f; }
float delayTimeMs(float v) { return v * v * 5990.0f + 10.0f; }
float chorusRateHz(float v) { return v * v * 9.9f + 0.1f; }
float driveGainLinear(float v) { return std::pow(10.0f, 2.0f * v - 1.0f); }
float eqGainDb(float v) { return (v - 0.5f) * 40.0f; }
float eq1FrequencyHz(float v) { return v * v * v * 980.0f + 20.0f; }
float eq2FrequencyHz(float v) { return v * v * v * 17500.0f + 500.0f; }

int pitchBendRange(float v) {
    const int range = choiceValue(v * 24.0f, 0);
    return range < 0 ? 0 : (range > 24 ? 24 : range);
}

float bipolarAmount(float v) {
    if (std::isnan(v)) return 0.0f;
    const float p = v > 0.0f ? (v < 1.0f ? v : 1.0f) : 0.0f;
    return (p - 0.5f) * 2.0f;
}

}  // namespace tvx
