// vsthost's Standard MIDI File reader on any bytes: it either fails with a
// reason or gives a time line that a renderer can walk.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "vsthost/midi_file.h"

namespace tvx {

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> bytes(data, data + size);
    vsthost::MidiFile file;
    std::string error;
    if (!vsthost::parseMidiFile(bytes, file, error)) {
        if (error.empty()) fuzz::fail("a rejected MIDI file has no reason");
        return 0;
    }
    if (file.tempos.empty() || file.tempos.front().tick != 0) fuzz::fail("the tempo map does not start at tick 0");
    if (!std::isfinite(file.lengthSeconds) || file.lengthSeconds < 0.0) fuzz::fail("the file length is not finite");
    double previous = 0.0;
    for (const vsthost::MidiFileEvent& event : file.events) {
        if (!std::isfinite(event.seconds) || event.seconds < previous) fuzz::fail("event times go backwards");
        if (event.size < 2 || event.size > 3 || !(event.bytes[0] & 0x80)) fuzz::fail("an event is not a channel message");
        previous = event.seconds;
    }
    for (const vsthost::TempoChange& tempo : file.tempos)
        if (!std::isfinite(tempo.bpm) || tempo.bpm <= 0.0) fuzz::fail("a tempo is not positive");
    (void)file.tempoAt(previous);
    return 0;
}

}  // namespace tvx
