#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/midi_block.h"
#include "vsthost/plugin_host.h"

namespace tvx {

// A freshly loaded and started instance of the built plug-in.
class LoadedPlugin : public ::testing::Test {
protected:
    vsthost::PluginHost host;
    AEffect* effect = nullptr;

    void SetUp() override {
        std::string error;
        ASSERT_TRUE(host.load(TVX_PLUGIN_PATH, error)) << error;
        effect = host.effect();
        host.start(44100.0, 512);
    }

    void setParameter(int index, float value) { effect->setParameter(effect, index, value); }
    float getParameter(int index) { return effect->getParameter(effect, index); }

    // Renders `frames` samples in blocks of `block` and returns them interleaved per channel.
    void render(int frames, std::vector<float>& left, std::vector<float>& right, int block = 512) {
        left.assign(frames, 0.0f);
        right.assign(frames, 0.0f);
        for (int start = 0; start < frames; start += block) {
            int n = std::min(block, frames - start);
            float* outputs[2] = {left.data() + start, right.data() + start};
            effect->processReplacing(effect, nullptr, outputs, n);
        }
    }

    void sendMidi(int deltaFrames, int status, int data1, int data2) {
        MidiBlock().add(deltaFrames, status, data1, data2).sendTo(host);
    }
};

}  // namespace tvx
