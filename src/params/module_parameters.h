#pragma once

namespace tvx {

// The parameter sets of the four module kinds that the editor's context
// menus copy, paste and reset, and the hand-over of an envelope's or LFO's
// fixed modulation amount into the modulation matrix.
enum class ModuleKind { Oscillator, Filter, Envelope, Lfo };

constexpr int kModulesPerKind = 3;

int moduleParameterCount(ModuleKind kind);
// ParameterId of entry `entry` of module `module` (0-based); modules 2 and 3
// use their own keys (Osc2Pos, Env3Rel, ...).
int moduleParameter(ModuleKind kind, int module, int entry);
int moduleCount(ModuleKind kind);

// "Move Mod N To Matrix" for the fixed amount parameter `fixedParameter`
// (Env1Mod1..Env3Mod3, Lfo1Mod1..Lfo3Mod3): the first slot whose source and
// target are both "--" takes the routing and the amount, and the fixed
// amount returns to its default. False when no slot is free or the parameter
// is not a fixed amount.
bool moveFixedModulationToMatrix(float* params, const float* defaults, int fixedParameter);

// The fixed amount parameter of an envelope or LFO (module 0..2, amount 0..2).
int fixedModulationParameter(ModuleKind kind, int module, int amount);

}  // namespace tvx
