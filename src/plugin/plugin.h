#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <vector>

#include "dsp/param_smoother.h"
#include "engine/voice_manager.h"
#include "params/module_parameters.h"
#include "params/parameter_id.h"
#include "params/parameter_sink.h"
#include "persist/config.h"
#include "plugin/engine_requests.h"
#include "plugin/parameter_store.h"
#include "plugin/plugin_base.h"

namespace tvx {

class PluginEditor;

// The synthesizer: owns the parameters, the configuration and the engine,
// and produces each block in runs of the engine's output.
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
    void programLoaded() override;
    // Loading a sound (a chunk, the host's program) makes it unedited again.
    void setProgram(VstInt32 program) override;

    // The present values as the host and the editor see them.
    std::array<float, kNumParameters> parameterValues() const;
    ParameterStore& parameterStore() { return parameters_; }
    const float* defaultValues() const { return defaultValues_; }
    const float* clipboardValues() const { return clipboard_; }
    VoiceManager& voiceManager() { return voiceManager_; }
    Config& config() { return config_; }
    int currentPresetIndex() const { return currentPresetIndex_; }
    const std::wstring& presetPath() const { return presetPath_; }
    // A sound parameter changed since the preset was loaded or saved.
    bool presetEdited() const { return presetEdited_.load(std::memory_order_relaxed); }

    // What the editor's idle step shows, as the last rendered block left it;
    // safe to read from any thread.
    bool voiceLight(int voice) const;
    int sequencerStep() const { return shownStep_.load(std::memory_order_relaxed); }

private:
    // MIDI learn changes parameters through this, on the processing thread and
    // without telling the host.
    class ControllerSink : public ParameterSink {
    public:
        explicit ControllerSink(Plugin& plugin) : plugin_(plugin) {}
        void setParameter(int index, float value) override { plugin_.setParameterFromEngine(index, value); }

    private:
        Plugin& plugin_;
    };

    ParameterStore parameters_;
    // The processing thread's copy, which the engine renders from.
    float engineParameters_[kNumParameters] = {};
    EngineRequests requests_;
    std::atomic<std::uint32_t> voiceLights_{0};
    std::atomic<int> shownStep_{-1};
    float preparedRate_ = 0.0f;
    // Set while the host runs at a rate outside the supported range.
    std::atomic<bool> unsupportedRate_{false};
    float defaultValues_[kNumParameters] = {};
    float clipboard_[kNumParameters] = {};
    const wchar_t* keys_[kNumParameters] = {};
    ControllerSink controllerSink_{*this};
    Config config_;
    VoiceManager voiceManager_;
    ParamSmoother outputGain_;
    // One run of the engine's output before the gain.
    float runLeft_[VoiceManager::kMaxRun] = {};
    float runRight_[VoiceManager::kMaxRun] = {};
    // The sound a reset replaced, rendered on, faded out and with its output
    // gain applied; mixed into the output while fadeRemaining_ > 0.
    std::vector<float> fadeLeft_, fadeRight_;
    int fadeLength_ = 0;
    int fadePosition_ = 0;
    int fadeRemaining_ = 0;
    // The engine's last sample: a reset after silence needs no fade.
    float lastLeft_ = 0.0f, lastRight_ = 0.0f;
    int currentPresetIndex_ = -1;
    std::atomic<bool> presetEdited_{false};
    PluginEditor* pluginEditor_ = nullptr;  // owned by the base class

    void setParameterFromEngine(int index, float value);
    // The output volume is the listener's level, not part of the sound.
    void noteEdit(int index) {
        if (index != Volume) presetEdited_.store(true, std::memory_order_relaxed);
    }
    // Copies the values, edits them and publishes what the edit changed as
    // one change.
    template <typename Edit>
    void editParameters(Edit edit) {
        float before[kNumParameters], values[kNumParameters];
        parameters_.copyTo(before);
        for (int i = 0; i < kNumParameters; ++i) values[i] = before[i];
        edit(values);
        parameters_.publishChanges(before, values);
    }
    void applyRequests();
    bool engineSounding() const;
    void captureFadeTail();
    template <typename Sample>
    void writeRun(Sample** outputs, int start, int count, bool silent);
    // A preset or the init sound replaced the sound from the editor.
    void soundReplaced();
    void publishEngineState();
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
    void stepIntoFirstFilledBank(int direction);
    bool loadPreset(const std::wstring& path);
};

}  // namespace tvx
