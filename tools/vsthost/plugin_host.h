#pragma once

#include <string>
#include <vector>

#include "plugin/vst_abi.h"

namespace tvx {

namespace vsthost {

// What the host answers to a plug-in's calls, and what it saw of them.
struct HostState {
    double sampleRate = 44100.0;
    VstInt32 blockSize = 512;
    double tempo = 120.0;
    VstInt32 timeSigNumerator = 4;
    VstInt32 timeSigDenominator = 4;
    double samplePosition = 0.0;
    bool provideTimeInfo = true;
    VstTimeInfo timeInfo{};

    // Records of the calls the plug-in made.
    std::vector<VstIntPtr> timeInfoRequests;  // the filter of each audioMasterGetTime
    std::vector<std::pair<VstInt32, float>> automations;
    int updateDisplayCalls = 0;
};

// A plug-in binary loaded into this process and one instance created from
// it. Works with any VST 2.4 plug-in: looks up VSTPluginMain, then main.
class PluginHost {
public:
    PluginHost();
    ~PluginHost();
    PluginHost(const PluginHost&) = delete;
    PluginHost& operator=(const PluginHost&) = delete;

    // Loads the library and creates the instance; false with a one-line
    // reason in `error` when that is not possible.
    bool load(const std::string& path, std::string& error);
    // effClose (the plug-in deletes itself) and unload the library.
    void unload();
    // effClose only; returns the plug-in's answer and forgets the instance.
    VstIntPtr closeEffect();

    AEffect* effect() const { return effect_; }
    HostState& state() { return state_; }

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f);
    // effOpen, sample rate, block size and effMainsChanged(1), as hosts start a plug-in.
    void start(double sampleRate, VstInt32 blockSize);
    void stop();

    std::string effectName();
    std::string vendorString();
    std::string productString();
    VstInt32 canDo(const char* text);

    static VstIntPtr VSTCALLBACK hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                              void* ptr, float opt);

private:
    void* library_ = nullptr;
    AEffect* effect_ = nullptr;
    HostState state_;
    bool running_ = false;

    VstIntPtr answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);
};

}  // namespace vsthost

}  // namespace tvx
