#pragma once

#include "params/modulation_codes.h"

namespace tvx {

constexpr int kNumModSlots = 12;

// Values of the 24 sources for one voice at one sample (indexed by ModSourceId; [0] unused = 0).
struct ModSources { float value[24] = {}; };

// The matrix's parameters decoded once, for every voice and control step
// until they change: the fixed routings' amounts and, in slot order, the
// slots that modulate another slot's amount and those that add to a target.
struct ModRouting {
    float fixedAmount[2][3][3] = {};   // [envelopes, LFOs][module][routing 1..3]
    struct Slot {
        int source, target;
        float amount;          // the slot's own, as set
        float clampedAmount;   // what it adds with when nothing modulates it
        bool amountModulated;
    };
    Slot slots[kNumModSlots] = {};
    int amountModulators[kNumModSlots] = {};   // slots aiming at a slot's amount
    int amountModulatorCount = 0;
    int adding[kNumModSlots] = {};             // slots with a source and a target
    int addingCount = 0;

    ModRouting() = default;
    explicit ModRouting(const float* params);
};

// Fixed routings of envelopes and LFOs plus the twelve slots, two passes; writes all 70 sums.
void evaluateModMatrix(const ModRouting& routing, const ModSources& sources, float* sums /*70*/);
void evaluateModMatrix(const float* params, const ModSources& sources, float* sums /*70*/);

// Which envelope times and LFO rates a slot targets (they are then recomputed every sample).
struct PerSampleTargets { bool envelopeTimes[3]; bool lfoRate[3]; };
PerSampleTargets findPerSampleTargets(const float* params);

// Stored source/target code of slot 0..11, 0 ("--") for anything outside the code range.
int modSlotSource(const float* params, int slot);
int modSlotTarget(const float* params, int slot);

}  // namespace tvx
