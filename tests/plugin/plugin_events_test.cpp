// How the plug-in collects one block's MIDI events from the host: every
// effProcessEvents call before a block adds to it, the block empties it.

#include <vector>

#include "support/plugin_fixture.h"

namespace tvx {

namespace {

class PluginEvents : public PluginFixture {
protected:
    int soundingVoices() {
        int count = 0;
        for (int v = 0; v < VoiceManager::kNumVoices; ++v) count += plugin->voiceManager().isVoiceSounding(v);
        return count;
    }

    // One call carrying `count` events, all slots allocated by this "host".
    void sendMany(int count, int status) {
        std::vector<VstMidiEvent> midi(static_cast<size_t>(count));
        std::vector<unsigned char> storage(sizeof(VstEvents) + sizeof(VstEvent*) * static_cast<size_t>(count));
        auto* events = reinterpret_cast<VstEvents*>(storage.data());
        events->numEvents = count;
        VstEvent** slots = events->events;
        for (int i = 0; i < count; ++i) {
            midi[i].type = kVstMidiType;
            midi[i].midiData[0] = static_cast<char>(status);
            midi[i].midiData[1] = static_cast<char>(i % 128);
            midi[i].midiData[2] = 100;
            slots[i] = reinterpret_cast<VstEvent*>(&midi[i]);
        }
        plugin->processEvents(events);
    }
};

}  // namespace

TEST_F(PluginEvents, EveryCallBeforeABlockAddsToIt) {
    midi(0, 0x90, 60, 100);
    midi(10, 0x90, 64, 100);
    midi(20, 0x90, 67, 100);
    EXPECT_EQ(plugin->voiceManager().eventCount(), 3);
    std::vector<float> l, r;
    render(256, l, r);
    EXPECT_EQ(soundingVoices(), 3);
    EXPECT_EQ(plugin->voiceManager().eventCount(), 0);  // the block used them up
    render(256, l, r);
    EXPECT_EQ(soundingVoices(), 3);
}

TEST_F(PluginEvents, ManySlotsOfOneCallAreAllRead) {
    sendMany(5, 0x90);
    std::vector<float> l, r;
    render(64, l, r);
    EXPECT_EQ(soundingVoices(), 5);
}

TEST_F(PluginEvents, QueueOfAHostThatNeverProcessesStaysBounded) {
    for (int call = 0; call < 20; ++call) sendMany(1000, 0xA0);
    EXPECT_LE(plugin->voiceManager().eventCount(), 4096);
    EXPECT_GT(plugin->voiceManager().eventCount(), 1000);
    std::vector<float> l, r;
    render(64, l, r);
    EXPECT_EQ(plugin->voiceManager().eventCount(), 0);
}

}  // namespace tvx
