#include "plugin/audio_effect.h"

#include <cstdio>
#include <cstring>

#include "plugin/aeff_editor.h"

namespace tvx {

namespace {

AudioEffect* instanceOf(AEffect* e) { return static_cast<AudioEffect*>(e->object); }

}  // namespace

AudioEffect::AudioEffect(audioMasterCallback master, VstInt32 programs, VstInt32 params)
    : audioMaster(master), numPrograms(programs), numParams(params) {
    std::memset(&cEffect, 0, sizeof(cEffect));
    cEffect.magic = kEffectMagic;
    cEffect.dispatcher = dispatchEffectClass;
    cEffect.process = processClass;
    cEffect.setParameter = setParameterClass;
    cEffect.getParameter = getParameterClass;
    cEffect.numPrograms = programs;
    cEffect.numParams = params;
    cEffect.numInputs = 1;
    cEffect.numOutputs = 2;
    cEffect.flags = 0;
    cEffect.ioRatio = 1.0f;
    cEffect.object = this;
    cEffect.uniqueID = vstFourCC('N', 'o', 'E', 'f');
    cEffect.version = 1;
    cEffect.processReplacing = processClassReplacing;
    cEffect.processDoubleReplacing = processClassDoubleReplacing;
}

AudioEffect::~AudioEffect() { delete editor; }

VstIntPtr AudioEffect::callHost(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    return audioMaster ? audioMaster(&cEffect, opcode, index, value, ptr, opt) : 0;
}

void AudioEffect::setParameterAutomated(VstInt32 index, float value) {
    setParameter(index, value);
    callHost(audioMasterAutomate, index, 0, nullptr, value);
}

void AudioEffect::canProcessReplacing(bool state) {
    if (state) cEffect.flags |= effFlagsCanReplacing;
    else cEffect.flags &= ~effFlagsCanReplacing;
}

void AudioEffect::canDoubleReplacing(bool state) {
    if (state) cEffect.flags |= effFlagsCanDoubleReplacing;
    else cEffect.flags &= ~effFlagsCanDoubleReplacing;
}

void AudioEffect::programsAreChunks(bool state) {
    if (state) cEffect.flags |= effFlagsProgramChunks;
    else cEffect.flags &= ~effFlagsProgramChunks;
}

void AudioEffect::setEditor(AEffEditor* newEditor) {
    editor = newEditor;
    if (editor) cEffect.flags |= effFlagsHasEditor;
    else cEffect.flags &= ~effFlagsHasEditor;
}

VstInt32 AudioEffect::getMasterVersion() {
    VstInt32 version = static_cast<VstInt32>(callHost(audioMasterVersion));
    return version ? version : 1;
}

VstInt32 AudioEffect::getCurrentUniqueId() { return static_cast<VstInt32>(callHost(audioMasterCurrentId)); }

void AudioEffect::masterIdle() { callHost(audioMasterIdle); }

VstIntPtr AudioEffect::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    switch (opcode) {
        case effOpen: open(); return 0;
        case effClose: close(); return 0;
        case effSetProgram:
            if (value < numPrograms) setProgram(static_cast<VstInt32>(value));
            return 0;
        case effGetProgram: return getProgram();
        case effSetProgramName: if (ptr) setProgramName(static_cast<char*>(ptr)); return 0;
        case effGetProgramName: if (ptr) getProgramName(static_cast<char*>(ptr)); return 0;
        case effGetParamLabel: if (ptr) getParameterLabel(index, static_cast<char*>(ptr)); return 0;
        case effGetParamDisplay: if (ptr) getParameterDisplay(index, static_cast<char*>(ptr)); return 0;
        case effGetParamName: if (ptr) getParameterName(index, static_cast<char*>(ptr)); return 0;
        case effSetSampleRate: setSampleRate(opt); return 0;
        case effSetBlockSize: setBlockSize(static_cast<VstInt32>(value)); return 0;
        case effMainsChanged:
            if (!value) suspend();
            else resume();
            return 0;
        case effEditGetRect: return (editor && ptr) ? (editor->getRect(static_cast<ERect**>(ptr)) ? 1 : 0) : 0;
        case effEditOpen: return editor ? (editor->open(ptr) ? 1 : 0) : 0;
        case effEditClose: if (editor) editor->close(); return 0;
        case effEditIdle: if (editor) editor->idle(); return 0;
        case effIdentify: return vstFourCC('N', 'v', 'E', 'f');
        case effGetChunk: return ptr ? getChunk(static_cast<void**>(ptr), index != 0) : 0;
        case effSetChunk:
            return setChunk(ptr, static_cast<VstInt32>(value), index != 0);
        default: return 0;
    }
}

void VSTCALLBACK AudioEffect::processClass(AEffect*, float**, float**, VstInt32) {
    // The accumulating process call is deprecated; hosts use processReplacing.
}

VstIntPtr VSTCALLBACK AudioEffect::dispatchEffectClass(AEffect* e, VstInt32 opcode, VstInt32 index,
                                                        VstIntPtr value, void* ptr, float opt) {
    AudioEffect* effect = instanceOf(e);
    if (opcode == effClose) {
        effect->dispatcher(opcode, index, value, ptr, opt);
        delete effect;
        return 1;
    }
    return effect->dispatcher(opcode, index, value, ptr, opt);
}

void VSTCALLBACK AudioEffect::processClassReplacing(AEffect* e, float** inputs, float** outputs,
                                                    VstInt32 sampleFrames) {
    instanceOf(e)->processReplacing(inputs, outputs, sampleFrames);
}

void VSTCALLBACK AudioEffect::processClassDoubleReplacing(AEffect* e, double** inputs, double** outputs,
                                                          VstInt32 sampleFrames) {
    instanceOf(e)->processDoubleReplacing(inputs, outputs, sampleFrames);
}

void VSTCALLBACK AudioEffect::setParameterClass(AEffect* e, VstInt32 index, float value) {
    instanceOf(e)->setParameter(index, value);
}

float VSTCALLBACK AudioEffect::getParameterClass(AEffect* e, VstInt32 index) {
    return instanceOf(e)->getParameter(index);
}

char* AudioEffect::vst_strncpy(char* dst, const char* src, VstInt32 maxLen) {
    if (maxLen <= 0) return dst;
    VstInt32 i = 0;
    for (; i < maxLen && src[i]; ++i) dst[i] = src[i];
    dst[i] = 0;
    return dst;
}

char* AudioEffect::vst_strncat(char* dst, const char* src, VstInt32 maxLen) {
    VstInt32 len = static_cast<VstInt32>(std::strlen(dst));
    if (len >= maxLen) return dst;
    return vst_strncpy(dst + len, src, maxLen - len) - len;
}

char* AudioEffect::int2string(VstInt32 value, char* text, VstInt32 maxLen) {
    char buffer[16];
    std::snprintf(buffer, sizeof(buffer), "%d", static_cast<int>(value));
    return vst_strncpy(text, buffer, maxLen);
}

}  // namespace tvx
