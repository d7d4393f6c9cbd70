#include "engine/mod_matrix.h"

#include <cmath>

#include "params/parameter_id.h"
#include "params/value_mappings.h"

namespace tvx {

static_assert(Mod12Source == Mod1Source + kNumModSlots - 1, "slot sources must be contiguous");
static_assert(Mod12Target == Mod1Target + kNumModSlots - 1, "slot targets must be contiguous");
static_assert(Mod12Amount == Mod1Amount + kNumModSlots - 1, "slot amounts must be contiguous");
static_assert(Env2Mod1 == Env1Mod1 + 1 && Env1Mod2 == Env1Mod1 + 3 && Env3Mod3 == Env1Mod1 + 8,
              "envelope routings are interleaved by module");
static_assert(Lfo2Mod1 == Lfo1Mod1 + 1 && Lfo1Mod2 == Lfo1Mod1 + 3 && Lfo3Mod3 == Lfo1Mod1 + 8,
              "LFO routings are interleaved by module");
static_assert(kNumModSources == 24, "ModSources holds 24 values");

namespace {

constexpr int kNumModules = 3;
// Far above anything a real source produces; keeps a broken source from
// overflowing the sums.
constexpr float kSourceLimit = 16.0f;

float clampSigned(float x) { return x > -1.0f ? (x < 1.0f ? x : 1.0f) : (x == x ? -1.0f : 0.0f); }


int codeInRange(float stored, int count) {
    int code = choiceValue(stored, 0);
    return (code > 0 && code < count) ? code : 0;
}

void readSources(const ModSources& in, float* out) {
    // All 24 in one loop of a count the compiler can split in fours; "none"
    // then reads 0 whatever it holds.
    for (int i = 0; i < kNumModSources; ++i) {
        float v = in.value[i];
        if (std::isnan(v)) v = 0.0f;
        out[i] = v > kSourceLimit ? kSourceLimit : (v < -kSourceLimit ? -kSourceLimit : v);
    }
    out[SrcNone] = 0.0f;
}

// Envelope N and LFO N of the same number share their fixed targets.
void addFixedRouting(const float* amounts, int module, float output, float* sums) {
    const int oscStride = TgtOsc2Tune - TgtOsc1Tune;
    float mod1 = amounts[0] * output;
    float mod2 = amounts[1] * output;
    float mod3 = amounts[2] * output;
    sums[TgtOsc1Pos + oscStride * module] += mod1;
    sums[TgtOsc1Mod1 + 2 * module] += mod1;
    sums[TgtOsc1Tune + oscStride * module] += mod2;
    static const int kCutoffTarget[kNumModules] = {TgtFlt1Cut, TgtFlt2Cut, TgtFlt1Cut};
    sums[kCutoffTarget[module]] += mod3;
}

}  // namespace

int modSlotSource(const float* params, int slot) {
    return codeInRange(params[Mod1Source + slot], kNumModSources);
}

int modSlotTarget(const float* params, int slot) {
    return codeInRange(params[Mod1Target + slot], kNumModTargets);
}

ModRouting::ModRouting(const float* params) {
    const int firstKeys[2] = {Env1Mod1, Lfo1Mod1};
    for (int kind = 0; kind < 2; ++kind)
        for (int m = 0; m < kNumModules; ++m)
            for (int r = 0; r < 3; ++r)
                fixedAmount[kind][m][r] = bipolarAmount(params[firstKeys[kind] + r * kNumModules + m]);
    for (int i = 0; i < kNumModSlots; ++i) {
        Slot& slot = slots[i];
        slot.source = modSlotSource(params, i);
        slot.target = modSlotTarget(params, i);
        slot.amount = bipolarAmount(params[Mod1Amount + i]);
        slot.clampedAmount = clampSigned(slot.amount);
        slot.amountModulated = false;
    }
    // A slot aimed at an amount modulates it even without a source (it then adds 0).
    for (int i = 0; i < kNumModSlots; ++i) {
        const int k = slots[i].target - TgtMod1Amt;
        if (k < 0 || k >= kNumModSlots) continue;
        slots[k].amountModulated = true;
        amountModulators[amountModulatorCount++] = i;
    }
    for (int i = 0; i < kNumModSlots; ++i)
        if (slots[i].source != SrcNone && slots[i].target != TgtNone) adding[addingCount++] = i;
}

void evaluateModMatrix(const ModRouting& routing, const ModSources& sources, float* sums) {
    for (int t = 0; t < kNumModTargets; ++t) sums[t] = 0.0f;

    float s[kNumModSources];
    readSources(sources, s);

    for (int m = 0; m < kNumModules; ++m) {
        addFixedRouting(routing.fixedAmount[0][m], m, s[SrcEnv1 + m], sums);
        addFixedRouting(routing.fixedAmount[1][m], m, s[SrcLfo1 + m], sums);
    }

    float amountMod[kNumModSlots] = {};
    for (int n = 0; n < routing.amountModulatorCount; ++n) {
        const ModRouting::Slot& slot = routing.slots[routing.amountModulators[n]];
        amountMod[slot.target - TgtMod1Amt] += slot.amount * s[slot.source];
    }

    for (int n = 0; n < routing.addingCount; ++n) {
        const int i = routing.adding[n];
        const ModRouting::Slot& slot = routing.slots[i];
        const float amount = slot.amountModulated ? clampSigned(slot.amount * amountMod[i]) : slot.clampedAmount;
        sums[slot.target] += amount * s[slot.source];
    }
}

void evaluateModMatrix(const float* params, const ModSources& sources, float* sums) {
    evaluateModMatrix(ModRouting(params), sources, sums);
}

PerSampleTargets findPerSampleTargets(const float* params) {
    PerSampleTargets found = {{false, false, false}, {false, false, false}};
    const int envStride = TgtEnv2Att - TgtEnv1Att;
    for (int i = 0; i < kNumModSlots; ++i) {
        if (modSlotSource(params, i) == SrcNone) continue;
        int t = modSlotTarget(params, i);
        if (t >= TgtLfo1Rate && t <= TgtLfo3Rate) found.lfoRate[t - TgtLfo1Rate] = true;
        if (t >= TgtEnv1Att && t <= TgtEnv3Rel) {
            int env = (t - TgtEnv1Att) / envStride;
            // Sustain is smoothed every sample anyway; only the times need the coefficients.
            if (t - TgtEnv1Att - env * envStride != TgtEnv1Sus - TgtEnv1Att)
                found.envelopeTimes[env] = true;
        }
    }
    return found;
}

}  // namespace tvx
