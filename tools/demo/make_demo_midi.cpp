// Writes the demo Standard MIDI File: a type 1 file with a tempo track and
// a chord and melody track, with running status, a mod-wheel sweep, a
// sustain pedal and a tempo change near the end.

#include <cstdint>
#include <cstdio>
#include <vector>

#include "midi/midi_builder.h"

namespace tvx {

namespace {

struct TimedEvent {
    uint32_t tick;
    uint8_t status, data1, data2;
};

constexpr uint32_t kQuarter = 480;

}  // namespace

}  // namespace tvx

int main(int argc, char** argv) {
    using namespace tvx;
    const char* path = argc > 1 ? argv[1] : "demo.mid";

    MidiBuilder file(1, kQuarter);
    file.beginTrack()
        .tempo(0, 600000)                 // 100 BPM
        .tempo(14 * kQuarter, 750000)     // 80 BPM for the last bar
        .endTrack(2 * kQuarter);

    // Am, F, C, G as whole-bar chords, then a held A minor chord.
    const int chords[5][3] = {{57, 60, 64}, {53, 57, 60}, {48, 55, 64}, {55, 59, 62}, {57, 60, 64}};
    const int melody[16] = {69, 72, 76, 74, 72, 69, 72, 77, 76, 72, 79, 76, 74, 71, 67, 69};
    std::vector<TimedEvent> events;
    for (int bar = 0; bar < 4; ++bar) {
        uint32_t start = bar * 4 * kQuarter;
        for (int note : chords[bar]) {
            events.push_back({start, 0x90, uint8_t(note), 80});
            events.push_back({start + 4 * kQuarter - 20, 0x80, uint8_t(note), 64});
        }
        for (int beat = 0; beat < 4; ++beat) {
            uint32_t at = start + beat * kQuarter;
            uint8_t note = uint8_t(melody[bar * 4 + beat]);
            events.push_back({at, 0x90, note, uint8_t(beat == 0 ? 110 : 90)});
            events.push_back({at + kQuarter / 2 + 120, 0x90, note, 0});  // note off as velocity 0
        }
        events.push_back({start, 0xB0, 1, uint8_t(bar * 40)});  // mod wheel sweep
    }
    const uint32_t last = 16 * kQuarter;
    events.push_back({last, 0xB0, 64, 127});  // sustain pedal down for the ending
    for (int note : chords[4]) {
        events.push_back({last, 0x90, uint8_t(note), 90});
        events.push_back({last + kQuarter, 0x80, uint8_t(note), 64});
    }
    events.push_back({last + kQuarter, 0x90, 81, 100});
    events.push_back({last + 2 * kQuarter, 0x80, 81, 64});
    events.push_back({last + 3 * kQuarter, 0xB0, 64, 0});  // pedal up releases the chord

    std::vector<TimedEvent> sorted;
    for (uint32_t t = 0; t <= last + 4 * kQuarter; ++t)
        for (const TimedEvent& e : events)
            if (e.tick == t) sorted.push_back(e);

    file.beginTrack().delta(0).bytes({0xFF, 0x03, 0x04, 'D', 'e', 'm', 'o'});
    uint32_t now = 0;
    uint8_t running = 0;
    for (const TimedEvent& e : sorted) {
        file.delta(e.tick - now);
        now = e.tick;
        if (e.status == running) {
            file.bytes({e.data1, e.data2});
        } else {
            file.bytes({e.status, e.data1, e.data2});
            running = e.status;
        }
    }
    file.endTrack(kQuarter);

    if (!file.writeTo(path)) {
        std::fprintf(stderr, "make_demo_midi: cannot write %s\n", path);
        return 1;
    }
    return 0;
}
