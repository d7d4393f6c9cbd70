#include "plugin/audio_effect_x.h"

#include "plugin/aeff_editor.h"

namespace tvx {

AudioEffectX::AudioEffectX(audioMasterCallback master, VstInt32 programs, VstInt32 params)
    : AudioEffect(master, programs, params) {}

VstPlugCategory AudioEffectX::getPlugCategory() {
    return (cEffect.flags & effFlagsIsSynth) ? kPlugCategSynth : kPlugCategUnknown;
}

bool AudioEffectX::getSpeakerArrangement(void** pluginInput, void** pluginOutput) {
    if (pluginInput) *pluginInput = nullptr;
    if (pluginOutput) *pluginOutput = nullptr;
    return false;
}

VstTimeInfo* AudioEffectX::getTimeInfo(VstInt32 filter) {
    return reinterpret_cast<VstTimeInfo*>(callHost(audioMasterGetTime, 0, filter));
}

bool AudioEffectX::updateDisplay() { return callHost(audioMasterUpdateDisplay) != 0; }
bool AudioEffectX::beginEdit(VstInt32 index) { return callHost(audioMasterBeginEdit, index) != 0; }
bool AudioEffectX::endEdit(VstInt32 index) { return callHost(audioMasterEndEdit, index) != 0; }

void AudioEffectX::isSynth(bool state) {
    if (state) cEffect.flags |= effFlagsIsSynth;
    else cEffect.flags &= ~effFlagsIsSynth;
}

void AudioEffectX::noTail(bool state) {
    if (state) cEffect.flags |= effFlagsNoSoundInStop;
    else cEffect.flags &= ~effFlagsNoSoundInStop;
}

VstIntPtr AudioEffectX::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    switch (opcode) {
        case effProcessEvents: return ptr ? processEvents(static_cast<VstEvents*>(ptr)) : 0;
        case effCanBeAutomated: return canParameterBeAutomated(index) ? 1 : 0;
        case effString2Parameter: return ptr ? (string2parameter(index, static_cast<char*>(ptr)) ? 1 : 0) : 0;
        case effGetNumProgramCategories: return getNumCategories();
        case effGetProgramNameIndexed:
            return ptr ? (getProgramNameIndexed(static_cast<VstInt32>(value), index, static_cast<char*>(ptr)) ? 1 : 0)
                       : 0;
        case effCopyProgram: return copyProgram(index) ? 1 : 0;
        case effGetInputProperties:
            return ptr ? (getInputProperties(index, static_cast<VstPinProperties*>(ptr)) ? 1 : 0) : 0;
        case effGetOutputProperties:
            return ptr ? (getOutputProperties(index, static_cast<VstPinProperties*>(ptr)) ? 1 : 0) : 0;
        case effGetPlugCategory: return getPlugCategory();
        case effSetBypass: return setBypass(value != 0) ? 1 : 0;
        case effGetEffectName: return ptr ? (getEffectName(static_cast<char*>(ptr)) ? 1 : 0) : 0;
        case effGetVendorString: return ptr ? (getVendorString(static_cast<char*>(ptr)) ? 1 : 0) : 0;
        case effGetProductString: return ptr ? (getProductString(static_cast<char*>(ptr)) ? 1 : 0) : 0;
        case effGetVendorVersion: return getVendorVersion();
        case effVendorSpecific: return vendorSpecific(index, value, ptr, opt);
        case effCanDo: return ptr ? canDo(static_cast<char*>(ptr)) : 0;
        case effGetTailSize: return getGetTailSize();
        case effGetParameterProperties: return getParameterProperties(index, ptr) ? 1 : 0;
        case effGetVstVersion: return getVstVersion();
        case effEditKeyDown: return editor ? (editor->onKeyDown(index, static_cast<VstInt32>(value), opt) ? 1 : 0) : 0;
        case effEditKeyUp: return editor ? (editor->onKeyUp(index, static_cast<VstInt32>(value), opt) ? 1 : 0) : 0;
        case effSetEditKnobMode: return editor ? (editor->setKnobMode(static_cast<VstInt32>(value)) ? 1 : 0) : 0;
        case effGetCurrentMidiProgram: return getCurrentMidiProgram(index, ptr);
        case effGetSpeakerArrangement:
            return getSpeakerArrangement(reinterpret_cast<void**>(value), static_cast<void**>(ptr)) ? 1 : 0;
        case effSetTotalSampleToProcess: return setTotalSampleToProcess(static_cast<VstInt32>(value));
        case effStartProcess: return startProcess();
        case effStopProcess: return stopProcess();
        default: return AudioEffect::dispatcher(opcode, index, value, ptr, opt);
    }
}

}  // namespace tvx
