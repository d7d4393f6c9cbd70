#pragma once

#include <vector>

#include "vsthost/plugin_host.h"

namespace tvx {

// The MIDI events of one block, handed over in one effProcessEvents call as
// most hosts do.
class MidiBlock {
public:
    MidiBlock& add(int deltaFrames, int status, int data1, int data2) {
        VstMidiEvent event{};
        event.type = kVstMidiType;
        event.byteSize = sizeof(event);
        event.deltaFrames = deltaFrames;
        event.midiData[0] = static_cast<char>(status);
        event.midiData[1] = static_cast<char>(data1);
        event.midiData[2] = static_cast<char>(data2);
        midi_.push_back(event);
        return *this;
    }

    void sendTo(vsthost::PluginHost& host) {
        storage_.assign(sizeof(VstEvents) + midi_.size() * sizeof(VstEvent*), 0);
        auto* list = reinterpret_cast<VstEvents*>(storage_.data());
        list->numEvents = static_cast<VstInt32>(midi_.size());
        for (size_t i = 0; i < midi_.size(); ++i) list->events[i] = reinterpret_cast<VstEvent*>(&midi_[i]);
        host.dispatch(effProcessEvents, 0, 0, list);
    }

private:
    std::vector<VstMidiEvent> midi_;
    std::vector<unsigned char> storage_;
};

}  // namespace tvx
