#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tvx {

namespace vsthost {

// One channel message of a Standard MIDI File, placed on the time line.
struct MidiFileEvent {
    uint64_t tick = 0;
    double seconds = 0.0;
    uint8_t bytes[3] = {0, 0, 0};
    int size = 0;
    int track = 0;
};

struct TempoChange {
    uint64_t tick = 0;
    double seconds = 0.0;
    double bpm = 120.0;
};

struct MidiFile {
    int format = 0;
    int trackCount = 0;
    std::vector<MidiFileEvent> events;  // all tracks merged, in time order
    std::vector<TempoChange> tempos;    // the tempo map, first entry at tick 0
    double lengthSeconds = 0.0;         // up to the last end of track

    double tempoAt(double seconds) const;
};

// Parses a Standard MIDI File of type 0 or 1 (running status, tempo changes,
// meta and SysEx events skipped). Returns false with a one-line reason in
// `error` for anything malformed or truncated.
bool parseMidiFile(const std::vector<uint8_t>& data, MidiFile& file, std::string& error);
bool readMidiFile(const std::string& path, MidiFile& file, std::string& error);

}  // namespace vsthost

}  // namespace tvx
