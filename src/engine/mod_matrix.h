#pragma once

#include "params/modulation_codes.h"

namespace tvx {

constexpr int kNumModSlots = 12;

// Values of the 24 sources for one voice at one sample (indexed by ModSourceId; [0] unused = 0).
struct ModSources { float value[24] = {}; };

// Fixed routings of envelopes and LFOs plus the twelve slots, two passes; writes all 70 sums.
void evaluateModMatrix(const float* params, const ModSources& sources, float* sums /*70*/);

// Which envelope times and LFO rates a slot targets (they are then recomputed every sample).
struct PerSampleTargets { bool envelopeTimes[3]; bool lfoRate[3]; };
PerSampleTargets findPerSampleTargets(const float* params);

// Stored source/target code of slot 0..11, 0 ("--") for anything outside the code range.
int modSlotSource(const float* params, int slot);
int modSlotTarget(const float* params, int slot);

}  // namespace tvx
