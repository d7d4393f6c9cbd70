#include "plugin/plugin.h"

#include <cmath>

#include "params/parameter_display.h"
#include "params/parameter_table.h"
#include "persist/preset_file.h"
#include "platform/platform.h"
#include "plugin/aeff_editor.h"
#include "plugin/plugin_editor.h"

namespace {

constexpr float kDefaultTempo = 120.0f;
constexpr int kDefaultDenominator = 4;
constexpr int kMaxQueuedEvents = 4096;

// Rates outside this range cannot be rendered meaningfully (the tables need
// at least 30 Hz, the delay lines grow with the rate); such requests keep the
// current rate.
bool isUsableSampleRate(float rate) { return std::isfinite(rate) && rate >= 1000.0f && rate <= 1536000.0f; }

}  // namespace

Plugin::Plugin(audioMasterCallback audioMaster)
    : PluginBase(audioMaster, parameters_, defaultValues_),
      config_(parameters_, keys_),
      voiceManager_(parameters_, &config_, &controllerSink_) {
    outputGain_.prepare(44100.0f, 40.0f);
    for (int i = 0; i < kNumParameters; ++i) keys_[i] = parameterKey(i);
    fillDefaultValues(defaultValues_);
    for (int i = 0; i < kNumParameters; ++i) clipboard_[i] = defaultValues_[i];
    setSampleRate(44100.0f);
    loadInitSound();
    config_.readSettings();
    config_.scanPresetBanks();
    config_.scanPresetFiles();
    pluginEditor_ = new PluginEditor(*this);
    setEditor(pluginEditor_);
}

Plugin::~Plugin() { config_.writeSettingsFile(); }

void Plugin::loadInitSound() {
    loadInitPreset(config_.presetsFolder, defaultValues_, parameters_, presetName_, presetPath_);
    currentPresetIndex_ = -1;
}

void Plugin::setSampleRate(float rate) {
    if (!isUsableSampleRate(rate)) return;
    voiceManager_.setSampleRate(rate);
    outputGain_.prepare(rate, 40.0f);
    AudioEffect::setSampleRate(rate);
}

void Plugin::resetEngine() {
    voiceManager_.reset();
    outputGain_.reset();
    refreshEditor();
}

void Plugin::refreshEditor() {
    if (!editor || !editor->isOpen()) return;
    for (int i = 0; i < kNumParameters; ++i) editor->setParameter(i, parameters_[i]);
    pluginEditor_->presetChanged();
    updateDisplay();
}

void Plugin::reportIfNoDialog() {
    const std::wstring why = platform().fileDialogUnavailableMessage();
    if (why.empty()) return;  // the user cancelled
    // The preset name field is where the user looks after a preset command;
    // the text fits it at every size.
    if (editor && editor->isOpen()) pluginEditor_->showNotice(L"Install zenity or kdialog");
    platform().messageBox(why, L"Error", MessageIcon::Information);
}

void Plugin::setParameter(VstInt32 index, float value) {
    if (index >= 0 && index < kNumParameters) {
        parameters_[index] = value;
        if (editor && editor->isOpen()) editor->setParameter(index, value);
    }
    // 262..999 and negative indices are not parameters.
    if (index >= 1000) runCommand(index, value);
}

void Plugin::getParameterDisplay(VstInt32 index, char* text) {
    ::getParameterDisplay(parameters_, index, text, kVstMaxParamStrLen + 1);
}

// Some hosts deliver one block's events in several calls, so each call adds
// to the queue; the block empties it. The cap bounds the memory and the
// per-sample dispatch of a host that sends without ever processing.
VstInt32 Plugin::processEvents(VstEvents* events) {
    // The structure declares two slots, the host allocates as many as it sends.
    VstEvent* const* slots = events->events;
    for (VstInt32 i = 0; i < events->numEvents && voiceManager_.eventCount() < kMaxQueuedEvents; ++i) {
        const VstEvent* event = slots[i];
        if (!event || event->type != kVstMidiType) continue;
        const auto* midi = reinterpret_cast<const VstMidiEvent*>(event);
        voiceManager_.addMidiMessage(midi->deltaFrames, midi->midiData[0] & 0xFF, midi->midiData[1] & 0xFF,
                                     midi->midiData[2] & 0xFF);
    }
    return 1;
}

void Plugin::readHostTime() {
    int denominator = kDefaultDenominator;
    if (const VstTimeInfo* info = getTimeInfo(kVstTimeSigValid))
        if (info->timeSigDenominator != 0) denominator = info->timeSigDenominator;
    float tempo = kDefaultTempo;
    if (const VstTimeInfo* info = getTimeInfo(kVstTempoValid)) tempo = static_cast<float>(info->tempo);
    if (tempo == 0.0f || !std::isfinite(tempo)) tempo = kDefaultTempo;
    voiceManager_.setTempo(tempo, denominator);
}

float Plugin::outputSample(float value, float gain) const {
    float y = gain * value;
    if (!(y > -kOutputLimit)) y = std::isnan(y) ? 0.0f : -kOutputLimit;
    if (y > kOutputLimit) y = kOutputLimit;
    return y;
}

template <typename Sample>
void Plugin::renderBlock(Sample** outputs, VstInt32 sampleFrames) {
    readHostTime();
    const bool writable = outputs && outputs[0] && outputs[1];
    for (VstInt32 s = 0; s < sampleFrames; ++s) {
        float left = 0.0f, right = 0.0f;
        voiceManager_.renderSample(left, right, sampleFrames, s);
        float gain = outputGain_.update(parameters_[Volume]);
        if (writable) {
            outputs[0][s] = static_cast<Sample>(outputSample(left, gain));
            outputs[1][s] = static_cast<Sample>(outputSample(right, gain));
        }
    }
    voiceManager_.clearEvents();
}

void Plugin::processReplacing(float**, float** outputs, VstInt32 sampleFrames) {
    renderBlock(outputs, sampleFrames);
}

void Plugin::processDoubleReplacing(double**, double** outputs, VstInt32 sampleFrames) {
    renderBlock(outputs, sampleFrames);
}
