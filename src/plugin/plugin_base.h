#pragma once

#include <string>
#include <vector>

#include "plugin/audio_effect_x.h"
#include "plugin/parameter_store.h"

namespace tvx {

// Fixes the plug-in's identity and its answers to the host's queries: one
// program named after the preset, one automatable parameter (Volume), two
// outputs, no inputs, the sound travelling as a text chunk.
class PluginBase : public AudioEffectX {
public:
    static constexpr VstInt32 kUniqueId = 0x2D535E35;  // '-S^5'
    // The one definition of the version: 1005 reads as 1.0.5 (the build
    // and the packages derive their version from this line).
    static constexpr VstInt32 kVendorVersion = 1005;
    // "1.0.5" for kVendorVersion 1005.
    static std::wstring versionText();

    PluginBase(audioMasterCallback audioMaster, ParameterStore& parameters, const float* defaultValues);

    float getParameter(VstInt32 index) override;
    VstInt32 getProgram() override { return 0; }
    void setProgram(VstInt32 program) override;
    void getProgramName(char* name) override;
    void getParameterLabel(VstInt32 index, char* label) override;
    void getParameterName(VstInt32 index, char* text) override;
    VstInt32 getChunk(void** data, bool isPreset) override;
    VstInt32 setChunk(void* data, VstInt32 byteSize, bool isPreset) override;
    bool canParameterBeAutomated(VstInt32 index) override { return index == 0; }
    VstInt32 getNumCategories() override { return 0; }
    bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text) override;
    bool getOutputProperties(VstInt32 index, VstPinProperties* properties) override;
    bool getEffectName(char* name) override;
    bool getVendorString(char* text) override;
    bool getProductString(char* text) override;
    VstInt32 getVendorVersion() override { return kVendorVersion; }
    VstInt32 canDo(char* text) override;

    // Clears voices and effect state; the plug-in adds its engine.
    virtual void resetEngine() {}
    // A program or chunk replaced the sound.
    virtual void programLoaded() { resetEngine(); }

    const std::wstring& presetName() const { return presetName_; }

protected:
    ParameterStore& values_;
    const float* defaults_;
    std::wstring presetName_ = L"Init";
    std::wstring presetPath_;
    // Handed to the host by getChunk; stays valid until the next call.
    std::vector<unsigned char> chunk_;
};

}  // namespace tvx
