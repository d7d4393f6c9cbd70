#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <vector>

#include "plugin/plugin.h"
#include "support/fake_platform.h"
#include "support/temp_folder.h"

namespace tvx {

// A Plugin made directly (not through the entry point), with a recording
// host callback and its home folder in a temporary folder.
class PluginFixture : public ::testing::Test {
protected:
    struct HostRecord {
        std::vector<VstIntPtr> timeRequests;
        std::vector<std::pair<VstInt32, float>> automations;
        int updateDisplays = 0;
        bool giveTime = true;
        VstTimeInfo time{};
    };

    TempFolder folder;
    FakePlatform system;
    std::unique_ptr<Plugin> plugin;
    static HostRecord* record;
    HostRecord host;

    PluginFixture() {
        record = &host;
        host.time.tempo = 120.0;
        host.time.timeSigDenominator = 4;
        std::filesystem::create_directories(folder.path() / "plugins");
        std::filesystem::create_directories(folder.path() / "local");
        system.modulePath = (folder.path() / "plugins" / "Tessaravox.so").wstring();
        system.localData = (folder.path() / "local").wstring();
    }
    ~PluginFixture() override { record = nullptr; }

    void SetUp() override { plugin = std::make_unique<Plugin>(&PluginFixture::callback); }

    std::filesystem::path home() const { return folder.path() / "local" / "Morrowfen Software" / "Tessaravox"; }

    float value(int id) const { return plugin->parameterValues()[id]; }

    void render(int frames, std::vector<float>& left, std::vector<float>& right) {
        left.assign(frames, 0.0f);
        right.assign(frames, 0.0f);
        float* outputs[2] = {left.data(), right.data()};
        plugin->processReplacing(nullptr, outputs, frames);
    }

    void midi(int deltaFrames, int status, int data1, int data2) {
        VstMidiEvent event{};
        event.type = kVstMidiType;
        event.deltaFrames = deltaFrames;
        event.midiData[0] = static_cast<char>(status);
        event.midiData[1] = static_cast<char>(data1);
        event.midiData[2] = static_cast<char>(data2);
        VstEvents events{};
        events.numEvents = 1;
        events.events[0] = reinterpret_cast<VstEvent*>(&event);
        plugin->processEvents(&events);
    }

    static VstIntPtr VSTCALLBACK callback(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr value, void*,
                                          float opt) {
        if (!record) return 0;
        switch (opcode) {
            case audioMasterVersion: return 2400;
            case audioMasterGetTime:
                record->timeRequests.push_back(value);
                return record->giveTime ? reinterpret_cast<VstIntPtr>(&record->time) : 0;
            case audioMasterAutomate: record->automations.emplace_back(index, opt); return 0;
            case audioMasterUpdateDisplay: ++record->updateDisplays; return 1;
            default: return 0;
        }
    }
};

inline PluginFixture::HostRecord* PluginFixture::record = nullptr;

}  // namespace tvx
