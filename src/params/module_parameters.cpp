#include "params/module_parameters.h"

#include "params/modulation_codes.h"
#include "params/parameter_id.h"
#include "params/value_mappings.h"

namespace tvx {

namespace {

// Keys of module 1; the same key of module n is n - 1 indices further on.
const int kOscillatorSet[] = {Osc1Type,    Osc1Pos,      Osc1Phase,   Osc1Semi,      Osc1Fine,
                              Osc1Pan,     Osc1Vol,      Osc1UniSprd, Osc1UniDet,    Osc1UniMix,
                              Osc1UniCount, Osc1Mod1Amt, Osc1Mod2Amt, Osc1Mod1Ratio, Osc1Mod2Ratio};
const int kFilterSet[] = {Flt1Type, Flt1Track, Flt1Cut, Flt1Res};
const int kEnvelopeSet[] = {Env1Att, Env1Dec, Env1Sus, Env1Rel, Env1VelSens, Env1Mod1, Env1Mod2, Env1Mod3};
const int kLfoSet[] = {Lfo1Type,  Lfo1Rate, Lfo1Offset, Lfo1Phase, Lfo1Attack,
                       Lfo1Global, Lfo1Sync, Lfo1Mod1,   Lfo1Mod2,  Lfo1Mod3};

struct ModuleSet {
    const int* ids;
    int count;
};

template <int N>
ModuleSet setOf(const int (&ids)[N]) {
    return {ids, N};
}

ModuleSet moduleSet(ModuleKind kind) {
    switch (kind) {
        case ModuleKind::Oscillator: return setOf(kOscillatorSet);
        case ModuleKind::Filter: return setOf(kFilterSet);
        case ModuleKind::Envelope: return setOf(kEnvelopeSet);
        case ModuleKind::Lfo: return setOf(kLfoSet);
    }
    return {nullptr, 0};
}

struct FixedRouting {
    ModuleKind kind;
    int module;  // 0..2
    int amount;  // 0..2
};

bool findFixedRouting(int parameter, FixedRouting& routing) {
    const struct {
        ModuleKind kind;
        int firstAmount;
    } kinds[] = {{ModuleKind::Envelope, Env1Mod1}, {ModuleKind::Lfo, Lfo1Mod1}};
    for (const auto& k : kinds) {
        int offset = parameter - k.firstAmount;
        if (offset >= 0 && offset < 9) {
            routing = {k.kind, offset % 3, offset / 3};
            return true;
        }
    }
    return false;
}

int routingSource(const FixedRouting& r) {
    return (r.kind == ModuleKind::Envelope ? SrcEnv1 : SrcLfo1) + r.module;
}

int routingTarget(const FixedRouting& r, const float* params) {
    switch (r.amount) {
        case 0: {
            bool fm = choiceValue(params[Osc1Type + r.module]) == 3;
            return fm ? TgtOsc1Mod1 + 2 * r.module : TgtOsc1Pos + 6 * r.module;
        }
        case 1: return TgtOsc1Tune + 6 * r.module;
        default: return r.module == 1 ? TgtFlt2Cut : TgtFlt1Cut;
    }
}

bool slotIsFree(const float* params, int slot) {
    return choiceValue(params[Mod1Source + slot], -1) == 0 && choiceValue(params[Mod1Target + slot], -1) == 0;
}

}  // namespace

int moduleParameterCount(ModuleKind kind) { return moduleSet(kind).count; }

int moduleCount(ModuleKind kind) { return kind == ModuleKind::Filter ? 2 : kModulesPerKind; }

int moduleParameter(ModuleKind kind, int module, int entry) {
    ModuleSet set = moduleSet(kind);
    if (entry < 0 || entry >= set.count || module < 0 || module >= moduleCount(kind)) return -1;
    return set.ids[entry] + module;
}

int fixedModulationParameter(ModuleKind kind, int module, int amount) {
    if (module < 0 || module > 2 || amount < 0 || amount > 2) return -1;
    if (kind == ModuleKind::Envelope) return Env1Mod1 + 3 * amount + module;
    if (kind == ModuleKind::Lfo) return Lfo1Mod1 + 3 * amount + module;
    return -1;
}

bool moveFixedModulationToMatrix(float* params, const float* defaults, int fixedParameter) {
    FixedRouting routing;
    if (!findFixedRouting(fixedParameter, routing)) return false;
    for (int slot = 0; slot < 12; ++slot) {
        if (!slotIsFree(params, slot)) continue;
        params[Mod1Source + slot] = static_cast<float>(routingSource(routing));
        params[Mod1Target + slot] = static_cast<float>(routingTarget(routing, params));
        params[Mod1Amount + slot] = params[fixedParameter];
        params[fixedParameter] = defaults[fixedParameter];
        return true;
    }
    return false;
}

}  // namespace tvx
