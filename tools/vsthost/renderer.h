#pragma once

#include <string>
#include <utility>
#include <vector>

#include "vsthost/midi_file.h"
#include "vsthost/plugin_host.h"

namespace tvx {

namespace vsthost {

struct RenderOptions {
    double sampleRate = 44100.0;
    int blockSize = 512;
    double tempo = 0.0;       // 0: follow the MIDI file's tempo map
    double tailSeconds = 2.0;
    std::vector<std::pair<int, float>> parameters;  // set before the first block
    bool measureCpu = false;  // sum the thread's CPU time over the processReplacing calls
};

struct RenderResult {
    std::vector<float> left;
    std::vector<float> right;
    double processCpuSeconds = 0.0;  // with measureCpu only
};

// Plays the MIDI file through the started plug-in, block by block, with the
// events of each block handed over before it is processed.
RenderResult renderMidi(PluginHost& host, const MidiFile& midi, const RenderOptions& options);

}  // namespace vsthost

}  // namespace tvx
