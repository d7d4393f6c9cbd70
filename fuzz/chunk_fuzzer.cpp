// The host chunk (and the preset text inside it) from an untrusted project:
// setChunk must accept anything, the sound it yields must render cleanly,
// and saving the result again must be stable (a second round trip changes
// nothing).

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "fuzz_support.h"
#include "plugin/plugin.h"

namespace tvx {

namespace {

Plugin& instance() {
    static std::unique_ptr<Plugin> plugin = [] {
        fuzz::quietPlatform();
        fuzz::resetHostState();
        return std::make_unique<Plugin>(&fuzz::hostCallback);
    }();
    return *plugin;
}

// Mode byte: even takes the bytes as UTF-16LE, as a host hands them; odd
// widens each byte to one code unit, so text seeds stay readable.
std::vector<unsigned char> chunkBytes(const uint8_t* data, size_t size) {
    if (size == 0) return {};
    if ((data[0] & 1) == 0) return std::vector<unsigned char>(data + 1, data + size);
    std::vector<unsigned char> bytes;
    bytes.reserve(2 * size);
    for (size_t i = 1; i < size; ++i) {
        bytes.push_back(data[i]);
        bytes.push_back(0);
    }
    return bytes;
}

std::vector<unsigned char> currentChunk(Plugin& plugin) {
    void* data = nullptr;
    VstInt32 size = plugin.getChunk(&data, false);
    if (size < 0 || (size > 0 && !data)) fuzz::fail("getChunk returned an invalid buffer");
    const auto* bytes = static_cast<const unsigned char*>(data);
    return std::vector<unsigned char>(bytes, bytes + size);
}

void renderNote(Plugin& plugin) {
    VstMidiEvent note{};
    note.type = kVstMidiType;
    note.byteSize = sizeof(note);
    note.midiData[0] = static_cast<char>(0x90);
    note.midiData[1] = 60;
    note.midiData[2] = 100;
    VstEvents events{};
    events.numEvents = 1;
    events.events[0] = reinterpret_cast<VstEvent*>(&note);
    plugin.processEvents(&events);
    std::vector<float> left(512), right(512);
    float* outputs[2] = {left.data(), right.data()};
    for (int block = 0; block < 4; ++block) {
        plugin.processReplacing(nullptr, outputs, 512);
        fuzz::checkOutput(left.data(), 512, "chunk sound, left");
        fuzz::checkOutput(right.data(), 512, "chunk sound, right");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Plugin& plugin = instance();
    std::vector<unsigned char> bytes = chunkBytes(data, size);
    plugin.setChunk(bytes.empty() ? nullptr : bytes.data(), static_cast<VstInt32>(bytes.size()), false);

    char text[kVstMaxParamStrLen + 1];
    for (int id = 0; id < kNumParameters; ++id) plugin.getParameterDisplay(id, text);
    char name[kVstMaxProgNameLen + 1];
    plugin.getProgramName(name);

    std::vector<unsigned char> saved = currentChunk(plugin);
    plugin.setChunk(saved.data(), static_cast<VstInt32>(saved.size()), false);
    if (currentChunk(plugin) != saved) fuzz::fail("a saved chunk does not load back to the same sound");

    renderNote(plugin);
    return 0;
}

}  // namespace tvx
