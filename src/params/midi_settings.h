#pragma once

#include <atomic>

namespace tvx {

// MIDI controller assignments and MIDI-learn state shared by the editor, the
// MIDI input and the settings file. The editor and the settings code change
// them on the user-interface thread while MIDI on the processing thread reads
// them and learns new bindings, so every field is an atomic.
struct MidiSettings {
    std::atomic<int> modCC1{-1}, modCC2{-1};
    std::atomic<int> knobCC[120];
    std::atomic<bool> midiLearnListening{false};
    std::atomic<int> midiLearnParam{-1};

    MidiSettings() {
        for (auto& cc : knobCC) cc.store(-1, std::memory_order_relaxed);
    }
};

}  // namespace tvx
