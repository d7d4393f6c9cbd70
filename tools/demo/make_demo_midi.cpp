// Writes the demo Standard MIDI File: a type 1 file with a tempo track and
// a chord and melody track, with running status, a mod-wheel sweep, a
// sustain pedal and a tempo change near the end.

#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

class Track {
public:
    void delta(uint32_t ticks) {
        uint8_t groups[5];
        int n = 0;
        do {
            groups[n++] = ticks & 0x7F;
            ticks >>= 7;
        } while (ticks);
        for (int i = n - 1; i >= 0; --i) bytes_.push_back(groups[i] | (i ? 0x80 : 0));
    }
    void event(uint32_t ticks, std::initializer_list<uint8_t> data) {
        delta(ticks);
        bytes_.insert(bytes_.end(), data);
    }
    const std::vector<uint8_t>& bytes() const { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
};

struct TimedEvent {
    uint32_t tick;
    uint8_t status, data1, data2;
};

void put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) out.push_back((v >> s) & 0xFF);
}

constexpr uint32_t kQuarter = 480;

}  // namespace

int main(int argc, char** argv) {
    const char* path = argc > 1 ? argv[1] : "demo.mid";

    Track tempo;
    tempo.event(0, {0xFF, 0x51, 0x03, 0x09, 0x27, 0xC0});                 // 100 BPM
    tempo.event(14 * kQuarter, {0xFF, 0x51, 0x03, 0x0B, 0x71, 0xB0});     // 80 BPM for the last bar
    tempo.event(2 * kQuarter, {0xFF, 0x2F, 0x00});

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

    Track notes;
    notes.event(0, {0xFF, 0x03, 0x04, 'D', 'e', 'm', 'o'});
    uint32_t now = 0;
    uint8_t running = 0;
    for (const TimedEvent& e : sorted) {
        uint32_t ticks = e.tick - now;
        now = e.tick;
        if (e.status == running) {
            notes.event(ticks, {e.data1, e.data2});
        } else {
            notes.event(ticks, {e.status, e.data1, e.data2});
            running = e.status;
        }
    }
    notes.event(kQuarter, {0xFF, 0x2F, 0x00});

    std::vector<uint8_t> file = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 2, uint8_t(kQuarter >> 8),
                                 uint8_t(kQuarter & 0xFF)};
    for (const Track* t : {&tempo, &notes}) {
        file.insert(file.end(), {'M', 'T', 'r', 'k'});
        put32(file, uint32_t(t->bytes().size()));
        file.insert(file.end(), t->bytes().begin(), t->bytes().end());
    }
    std::FILE* f = std::fopen(path, "wb");
    if (!f || std::fwrite(file.data(), 1, file.size(), f) != file.size() || std::fclose(f) != 0) {
        std::fprintf(stderr, "make_demo_midi: cannot write %s\n", path);
        return 1;
    }
    return 0;
}
