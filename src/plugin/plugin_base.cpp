#include "plugin/plugin_base.h"

#include <cstdio>
#include <cstring>

#include "params/parameter_id.h"
#include "persist/preset_text.h"

namespace tvx {

namespace {

const char* const kEffectName = "Tessaravox";
const char* const kVendorName = "Morrowfen Software";
const char* const kProductName = "Tessaravox";

void narrowProgramName(const std::wstring& name, char* text) {
    const size_t limit = static_cast<size_t>(kVstMaxProgNameLen);
    size_t n = name.size() < limit ? name.size() : limit;
    for (size_t i = 0; i < n; ++i) {
        wchar_t c = name[i];
        text[i] = (c > 0 && c < 256) ? static_cast<char>(c) : '?';
    }
    text[n] = 0;
}

}  // namespace

PluginBase::PluginBase(audioMasterCallback host, ParameterStore& parameters, const float* defaultValues)
    : AudioEffectX(host, 1, 1), values_(parameters), defaults_(defaultValues) {
    setNumInputs(0);
    setNumOutputs(2);
    setUniqueID(kUniqueId);
    cEffect.version = 1;
    canProcessReplacing();
    canDoubleReplacing();
    programsAreChunks();
    isSynth();
}

float PluginBase::getParameter(VstInt32 index) {
    return values_.get(index);
}

void PluginBase::setProgram(VstInt32) {
    curProgram = 0;
    programLoaded();
}

void PluginBase::getProgramName(char* name) { narrowProgramName(presetName_, name); }

void PluginBase::getParameterLabel(VstInt32, char* label) { vst_strncpy(label, "", kVstMaxParamStrLen); }

void PluginBase::getParameterName(VstInt32 index, char* text) {
    if (index == 0) vst_strncpy(text, "Volume", kVstMaxParamStrLen);
}

bool PluginBase::getProgramNameIndexed(VstInt32, VstInt32, char* text) {
    narrowProgramName(presetName_, text);
    return true;
}

bool PluginBase::getOutputProperties(VstInt32 index, VstPinProperties* properties) {
    if (index != 0 && index != 1) return false;
    std::snprintf(properties->label, sizeof(properties->label), "%d", static_cast<int>(index + 1));
    properties->flags = kVstPinIsActive | kVstPinIsStereo;
    return true;
}

bool PluginBase::getEffectName(char* name) {
    vst_strncpy(name, kEffectName, kVstMaxEffectNameLen);
    return true;
}

bool PluginBase::getVendorString(char* text) {
    vst_strncpy(text, kVendorName, kVstMaxVendorStrLen);
    return true;
}

bool PluginBase::getProductString(char* text) {
    vst_strncpy(text, kProductName, kVstMaxProductStrLen);
    return true;
}

VstInt32 PluginBase::canDo(char* text) {
    static const struct {
        const char* text;
        VstInt32 answer;
    } kCanDo[] = {
        {"receiveVstEvents", 1}, {"receiveVstMidiEvent", 1}, {"receiveVstTimeInfo", 1},
        {"sendVstEvents", -1},   {"sendVstMidiEvent", -1},   {"offline", -1},
        {"midiProgramNames", -1}, {"bypass", -1},
    };
    for (const auto& entry : kCanDo)
        if (std::strcmp(text, entry.text) == 0) return entry.answer;
    return 0;
}

VstInt32 PluginBase::getChunk(void** data, bool) {
    float values[kNumParameters];
    values_.copyTo(values);
    chunk_ = wideToUtf16Le(buildPresetText(values, presetName_));
    *data = chunk_.empty() ? nullptr : chunk_.data();
    return static_cast<VstInt32>(chunk_.size());
}

VstInt32 PluginBase::setChunk(void* data, VstInt32 byteSize, bool) {
    std::wstring text;
    if (data && byteSize > 1) text = utf16LeToWide(data, static_cast<size_t>(byteSize));
    float values[kNumParameters];
    parsePresetText(text, defaults_, values, presetName_);
    values_.publish(values);
    setProgram(0);
    return 0;
}

std::wstring PluginBase::versionText() {
    return std::to_wstring(kVendorVersion / 1000) + L"." + std::to_wstring(kVendorVersion / 100 % 10) + L"." +
           std::to_wstring(kVendorVersion % 100);
}

}  // namespace tvx
