#pragma once

#include "params/parameter_id.h"

namespace tvx {

// Static description of one parameter: its key in preset texts, its short
// display name (nullptr for the discrete parameters 213..261) and the value of
// the default sound.
struct ParameterInfo {
    const wchar_t* key;
    const wchar_t* name;
    float defaultValue;
};

// The extra key that carries the preset name in preset texts.
extern const wchar_t* const kPresetNameKey;

bool isParameterIndex(int index);
const ParameterInfo& parameterInfo(int id);
const wchar_t* parameterKey(int id);
const wchar_t* parameterName(int id);
float parameterDefault(int id);

// Exact, case-sensitive look-up; -1 when no parameter has that key.
int findParameterByKey(const wchar_t* key);
int findParameterByKey(const char* key);

// The default values of all 262 parameters.
void fillDefaultValues(float* values);
// The sound a fresh instance plays: the defaults with oscillator 1 on "Wave"
// and filter 1 on "Lowpass 24".
void fillInitSound(float* values);

}  // namespace tvx
