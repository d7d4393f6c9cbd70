#include "params/parameter_table.h"

#include <cstring>
#include <cwchar>

namespace tvx {

namespace {

const ParameterInfo kParameterTable[kNumParameters] = {
#include "params/parameter_table_data.inc"
};

}  // namespace

const wchar_t* const kPresetNameKey = L"PresetName";

bool isParameterIndex(int index) { return index >= 0 && index < kNumParameters; }

const ParameterInfo& parameterInfo(int id) { return kParameterTable[id]; }

const wchar_t* parameterKey(int id) { return isParameterIndex(id) ? kParameterTable[id].key : nullptr; }

const wchar_t* parameterName(int id) { return isParameterIndex(id) ? kParameterTable[id].name : nullptr; }

float parameterDefault(int id) { return isParameterIndex(id) ? kParameterTable[id].defaultValue : 0.0f; }

int findParameterByKey(const wchar_t* key) {
    if (!key) return -1;
    for (int i = 0; i < kNumParameters; ++i)
        if (std::wcscmp(kParameterTable[i].key, key) == 0) return i;
    return -1;
}

int findParameterByKey(const char* key) {
    if (!key) return -1;
    for (int i = 0; i < kNumParameters; ++i) {
        const wchar_t* k = kParameterTable[i].key;
        size_t j = 0;
        while (k[j] != 0 && key[j] != 0 && static_cast<unsigned char>(key[j]) == k[j]) ++j;
        if (k[j] == 0 && key[j] == 0) return i;
    }
    return -1;
}

void fillDefaultValues(float* values) {
    for (int i = 0; i < kNumParameters; ++i) values[i] = kParameterTable[i].defaultValue;
}

void fillInitSound(float* values) {
    fillDefaultValues(values);
    values[Osc1Type] = 1.0f;
    values[Flt1Type] = 1.0f;
}

}  // namespace tvx
