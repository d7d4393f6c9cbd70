#include "plugin/plugin.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <ctime>

#include "dsp/denormal_flush.h"
#include "dsp/sample_rate_limits.h"
#include "params/command_index.h"
#include "params/parameter_display.h"
#include "params/parameter_table.h"
#include "persist/preset_file.h"
#include "platform/platform.h"
#include "plugin/aeff_editor.h"
#include "plugin/plugin_editor.h"

namespace tvx {

namespace {

constexpr float kDefaultTempo = 120.0f;
constexpr int kDefaultDenominator = 4;
// A replaced sound fades out in a straight line (the shape with the gentlest
// steepest step for its length) while the new one starts at once: notes the
// host sends with a program change play on time, and 4 ms keeps even a bass
// tone's fade below its own slope.
constexpr float kReplacedSoundFadeSeconds = 0.004f;

bool isSupportedSampleRate(float rate) { return rate >= kMinSampleRate && rate <= kMaxSampleRate; }

}  // namespace

Plugin::Plugin(audioMasterCallback host)
    : PluginBase(host, parameters_, defaultValues_),
      config_(nullptr, keys_),
      voiceManager_(engineParameters_, &config_, &controllerSink_) {
    // Two instances started in the same second still draw different numbers.
    const auto instance = static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(this) >> 4);
    voiceManager_.seedRandom(static_cast<unsigned>(std::time(nullptr)) ^ (instance * 2654435761u));
    outputGain_.prepare(44100.0f, 40.0f);
    for (int i = 0; i < kNumParameters; ++i) keys_[i] = parameterKey(i);
    fillDefaultValues(defaultValues_);
    for (int i = 0; i < kNumParameters; ++i) clipboard_[i] = defaultValues_[i];
    setSampleRate(44100.0f);
    loadInitSound();
    // No block has run yet, so the engine may take the sound directly.
    parameters_.snapshot(engineParameters_);
    config_.readSettings();
    config_.scanPresetBanks();
    config_.scanPresetFiles();
    pluginEditor_ = new PluginEditor(*this);
    setEditor(pluginEditor_);
}

Plugin::~Plugin() { config_.writeSettingsFile(); }

void Plugin::loadInitSound() {
    editParameters([this](float* values) {
        loadInitPreset(config_.presetsFolder, defaultValues_, values, presetName_, presetPath_);
    });
    currentPresetIndex_ = -1;
    presetEdited_.store(false);
}

void Plugin::setProgram(VstInt32 program) {
    PluginBase::setProgram(program);
    presetEdited_.store(false);
}

std::array<float, kNumParameters> Plugin::parameterValues() const {
    std::array<float, kNumParameters> values;
    parameters_.copyTo(values.data());
    return values;
}

// Hosts change the rate only while processing is off, so the engine may be
// rebuilt here directly (it allocates the tables and lines). A host plays at
// the rate it sets, whatever the answer: at a rate the engine cannot play
// right it stays silent. Values that are no rate at all are ignored.
void Plugin::setSampleRate(float rate) {
    if (!std::isfinite(rate) || !(rate > 0.0f)) return;
    AudioEffect::setSampleRate(rate);
    unsupportedRate_.store(!isSupportedSampleRate(rate), std::memory_order_relaxed);
    // The same rate again must not cut the notes that sound.
    if (!isSupportedSampleRate(rate) || rate == preparedRate_) return;
    preparedRate_ = rate;
    parameters_.snapshot(engineParameters_);
    voiceManager_.setSampleRate(rate);
    outputGain_.prepare(rate, 40.0f);
    fadeLength_ = static_cast<int>(std::ceil(kReplacedSoundFadeSeconds * rate));
    fadeLeft_.assign(static_cast<std::size_t>(fadeLength_), 0.0f);
    fadeRight_.assign(static_cast<std::size_t>(fadeLength_), 0.0f);
    fadeRemaining_ = 0;
    lastLeft_ = lastRight_ = 0.0f;
}

// The processing thread carries the reset out before its next block; the
// values the host and the editor read are already the new ones.
void Plugin::resetEngine() {
    requests_.requestReset(EngineRequests::kHardReset);
    refreshEditor();
}

void Plugin::programLoaded() {
    requests_.requestReset(EngineRequests::kFadedReset);
    refreshEditor();
}

void Plugin::soundReplaced() {
    requests_.requestReset(EngineRequests::kResetIfSounding);
    refreshEditor();
}

bool Plugin::engineSounding() const {
    if (lastLeft_ != 0.0f || lastRight_ != 0.0f) return true;
    for (int i = 0; i < VoiceManager::kNumVoices; ++i)
        if (voiceManager_.isVoiceSounding(i)) return true;
    return false;
}

// Renders the old sound on for the fade's length with the old parameters and
// gain, faded, on top of what is left of an earlier fade.
void Plugin::captureFadeTail() {
    const int n = fadeLength_;
    for (int done = 0; done < n; done += VoiceManager::kMaxRun) {
        const int count = std::min(VoiceManager::kMaxRun, n - done);
        voiceManager_.renderTail(runLeft_, runRight_, count);
        for (int i = 0; i < count; ++i) {
            const int at = done + i;
            const float gain = outputGain_.update(engineParameters_[Volume]);
            const float ramp = static_cast<float>(n - at) / static_cast<float>(n + 1);
            float left = gain * runLeft_[i] * ramp, right = gain * runRight_[i] * ramp;
            // Reading ahead of the writing position: the earlier fade moves to the front.
            if (at < fadeRemaining_) {
                left += fadeLeft_[static_cast<std::size_t>(fadePosition_ + at)];
                right += fadeRight_[static_cast<std::size_t>(fadePosition_ + at)];
            }
            fadeLeft_[static_cast<std::size_t>(at)] = std::isfinite(left) ? left : 0.0f;
            fadeRight_[static_cast<std::size_t>(at)] = std::isfinite(right) ? right : 0.0f;
        }
    }
    fadePosition_ = 0;
    fadeRemaining_ = n;
}

void Plugin::applyRequests() {
    const unsigned resets = requests_.takeResets();
    const bool hard = (resets & EngineRequests::kHardReset) != 0;
    const bool sounding = resets != 0 && !hard && engineSounding();
    const bool reset = hard || (resets & EngineRequests::kFadedReset) != 0 ||
                       ((resets & EngineRequests::kResetIfSounding) != 0 && sounding);
    if (hard) fadeRemaining_ = 0;
    if (sounding && reset) captureFadeTail();
    parameters_.snapshot(engineParameters_);
    if (reset) {
        voiceManager_.reset();
        outputGain_.jumpToNextTarget();
        lastLeft_ = lastRight_ = 0.0f;
    }
    float mode = 0.0f;
    if (requests_.takeSequencerMode(mode)) voiceManager_.sequencer().setDirectionFromMode(mode);
}

void Plugin::publishEngineState() {
    std::uint32_t lights = 0;
    for (int i = 0; i < VoiceManager::kNumVoices; ++i)
        if (voiceManager_.isVoiceSounding(i)) lights |= 1u << i;
    voiceLights_.store(lights, std::memory_order_relaxed);
    shownStep_.store(voiceManager_.shownStep(), std::memory_order_relaxed);
}

bool Plugin::voiceLight(int voice) const {
    if (voice < 0 || voice >= VoiceManager::kNumVoices) return false;
    return (voiceLights_.load(std::memory_order_relaxed) >> voice) & 1u;
}

void Plugin::refreshEditor() {
    if (!editor || !editor->isOpen()) return;
    for (int i = 0; i < kNumParameters; ++i) editor->setParameter(i, parameters_.get(i));
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
        if (parameters_.get(index) != value) noteEdit(index);
        parameters_.set(index, value);
        if (editor && editor->isOpen()) editor->setParameter(index, value);
    }
    // 262..999 and negative indices are not parameters.
    if (index >= kCmdNothing) runCommand(index, value);
}

// The engine sees the value at once, the host and the editor at their next
// read; the editor is not called from the processing thread.
void Plugin::setParameterFromEngine(int index, float value) {
    if (index < 0 || index >= kNumParameters) return;
    engineParameters_[index] = value;
    if (parameters_.get(index) != value) noteEdit(index);
    parameters_.set(index, value);
    parameters_.markChanged(index);
}

void Plugin::getParameterDisplay(VstInt32 index, char* text) {
    float values[kNumParameters];
    parameters_.copyTo(values);
    tvx::getParameterDisplay(values, index, text, kVstMaxParamStrLen + 1);
}

// Some hosts deliver one block's events in several calls, so each call adds
// to the queue; the block empties it. The queue's own limit bounds the memory
// and the work of a host that sends without ever processing.
VstInt32 Plugin::processEvents(VstEvents* events) {
    // The structure declares two slots, the host allocates as many as it sends.
    VstEvent* const* slots = events->events;
    for (VstInt32 i = 0; i < events->numEvents; ++i) {
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
    const float y = gain * value;
    if (std::isnan(y)) return 0.0f;
    // min/max rather than branches: they stay SSE instructions in the 32-bit
    // build, where selecting between constants would use the x87 unit.
    return std::min(std::max(y, -kOutputLimit), kOutputLimit);
}

template <typename Sample>
void Plugin::writeRun(Sample** outputs, int start, int count, bool silent) {
    const bool writable = outputs && outputs[0] && outputs[1];
    if (silent && fadeRemaining_ == 0 && holdsAt(outputGain_, engineParameters_[Volume])) {
        // Nothing to scale, and the gain would not have moved.
        if (writable)
            for (int i = 0; i < count; ++i) outputs[0][start + i] = outputs[1][start + i] = Sample(0);
        return;
    }
    int i = 0;
    // The replaced sound's fade first, then the plain path.
    for (; i < count && fadeRemaining_ > 0; ++i, ++fadePosition_, --fadeRemaining_) {
        const float gain = outputGain_.update(engineParameters_[Volume]);
        const auto at = static_cast<std::size_t>(fadePosition_);
        if (writable) {
            outputs[0][start + i] = static_cast<Sample>(outputSample(gain * runLeft_[i] + fadeLeft_[at], 1.0f));
            outputs[1][start + i] = static_cast<Sample>(outputSample(gain * runRight_[i] + fadeRight_[at], 1.0f));
        }
    }
    for (; i < count; ++i) {
        const float gain = outputGain_.update(engineParameters_[Volume]);
        if (writable) {
            outputs[0][start + i] = static_cast<Sample>(outputSample(runLeft_[i], gain));
            outputs[1][start + i] = static_cast<Sample>(outputSample(runRight_[i], gain));
        }
    }
}

template <typename Sample>
void Plugin::renderBlock(Sample** outputs, VstInt32 sampleFrames) {
    if (unsupportedRate_.load(std::memory_order_relaxed)) {
        if (outputs && outputs[0] && outputs[1])
            for (VstInt32 i = 0; i < sampleFrames; ++i) outputs[0][i] = outputs[1][i] = Sample(0);
        voiceManager_.clearEvents();
        return;
    }
    const DenormalFlush flushDenormals;
    applyRequests();
    readHostTime();
    for (VstInt32 start = 0; start < sampleFrames; start += VoiceManager::kMaxRun) {
        const int count = std::min<int>(VoiceManager::kMaxRun, sampleFrames - start);
        const bool silent = voiceManager_.render(runLeft_, runRight_, sampleFrames, start, count);
        lastLeft_ = runLeft_[count - 1];
        lastRight_ = runRight_[count - 1];
        writeRun(outputs, static_cast<int>(start), count, silent);
    }
    voiceManager_.clearEvents();
    publishEngineState();
}

void Plugin::processReplacing(float**, float** outputs, VstInt32 sampleFrames) {
    renderBlock(outputs, sampleFrames);
}

void Plugin::processDoubleReplacing(double**, double** outputs, VstInt32 sampleFrames) {
    renderBlock(outputs, sampleFrames);
}

}  // namespace tvx
