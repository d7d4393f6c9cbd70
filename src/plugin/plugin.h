#pragma once

#include "engine/param_smoother.h"
#include "engine/voice_manager.h"
#include "params/module_parameters.h"
#include "params/parameter_id.h"
#include "params/parameter_sink.h"
#include "persist/config.h"
#include "plugin/plugin_base.h"

class PluginEditor;

// The synthesizer: owns the parameters, the configuration and the engine,
// and produces each block sample by sample.
class Plugin : public PluginBase {
public:
    // The limit of every output sample, about +3 dB above full scale.
    static constexpr float kOutputLimit = 1.41254f;

    explicit Plugin(audioMasterCallback audioMaster);
    ~Plugin() override;

    void suspend() override { resetEngine(); }
    void resume() override { resetEngine(); }
    void setSampleRate(float rate) override;
    void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) override;
    void processDoubleReplacing(double** inputs, double** outputs, VstInt32 sampleFrames) override;
    void setParameter(VstInt32 index, float value) override;
    void getParameterDisplay(VstInt32 index, char* text) override;
    VstInt32 processEvents(VstEvents* events) override;
    void resetEngine() override;

    const float* parameterValues() const { return parameters_; }
    const float* defaultValues() const { return defaultValues_; }
    const float* clipboardValues() const { return clipboard_; }
    VoiceManager& voiceManager() { return voiceManager_; }
    Config& config() { return config_; }
    int currentPresetIndex() const { return currentPresetIndex_; }

private:
    // MIDI learn changes parameters through this, without telling the host.
    class ControllerSink : public ParameterSink {
    public:
        explicit ControllerSink(Plugin& plugin) : plugin_(plugin) {}
        void setParameter(int index, float value) override { plugin_.setParameter(index, value); }

    private:
        Plugin& plugin_;
    };

    float parameters_[kNumParameters] = {};
    float defaultValues_[kNumParameters] = {};
    float clipboard_[kNumParameters] = {};
    const wchar_t* keys_[kNumParameters] = {};
    ControllerSink controllerSink_{*this};
    Config config_;
    VoiceManager voiceManager_;
    ParamSmoother outputGain_;
    int currentPresetIndex_ = -1;
    PluginEditor* pluginEditor_ = nullptr;  // owned by the base class

    void readHostTime();
    template <typename Sample>
    void renderBlock(Sample** outputs, VstInt32 sampleFrames);
    float outputSample(float value, float gain) const;
    void loadInitSound();
    void refreshEditor();
    // After a file dialog gave no path: tells the user when no dialog could
    // be shown at all, rather than leaving the menu choice without effect.
    void reportIfNoDialog();

    // Command parameters (indices from 1000): the editor's menu and button actions.
    void runCommand(VstInt32 index, float value);
    void runModuleCommand(ModuleKind kind, int module, int action);
    void copyModule(ModuleKind kind, int module);
    void pasteModule(ModuleKind kind, int module);
    void resetModule(ModuleKind kind, int module);
    void runSequenceCommand(int action);
    void runMainMenuCommand(int action);
    void savePresetWithDialog();
    void loadPresetWithDialog();
    void saveSequenceWithDialog();
    void loadSequenceWithDialog();
    void loadPresetByIndex(int index);
    void stepPreset(int direction);
    bool loadPreset(const std::wstring& path);
};
