// Writes a Standard MIDI File that strikes COUNT notes at once and holds
// them for SECONDS at 120 BPM: the steady polyphonic load the peer
// comparison measures. The notes are spread evenly over four octaves or
// more from C2 (MIDI 36), so voices do not share a pitch.
// A COUNT of 0 writes SECONDS of silence: the cost of an idle instance.

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "midi/midi_builder.h"

namespace tvx {

namespace {

constexpr uint32_t kTicksPerQuarter = 480;
constexpr uint32_t kMicrosecondsPerQuarter = 500000;  // 120 BPM
constexpr int kLowestNote = 36;
constexpr int kMinimumSpan = 48;
constexpr int kMaxNotes = 127 - kLowestNote + 1;
constexpr double kMaxSeconds = 3600.0;
constexpr uint8_t kVelocity = 100;

std::vector<uint8_t> spreadNotes(int count) {
    const int span = count - 1 > kMinimumSpan ? count - 1 : kMinimumSpan;
    std::vector<uint8_t> notes;
    for (int i = 0; i < count; ++i) {
        const int offset = count == 1 ? 0 : static_cast<int>(std::lround(double(i) * span / (count - 1)));
        notes.push_back(static_cast<uint8_t>(kLowestNote + offset));
    }
    return notes;
}

MidiBuilder heldNotesFile(int count, double seconds) {
    const double quarters = seconds * 1e6 / kMicrosecondsPerQuarter;
    const uint32_t holdTicks = static_cast<uint32_t>(std::lround(quarters * kTicksPerQuarter));
    const std::vector<uint8_t> notes = spreadNotes(count);

    MidiBuilder file(0, kTicksPerQuarter);
    file.beginTrack().tempo(0, kMicrosecondsPerQuarter);
    for (uint8_t note : notes) file.noteOn(0, 0, note, kVelocity);
    for (size_t i = 0; i < notes.size(); ++i) file.noteOff(i == 0 ? holdTicks : 0, 0, notes[i]);
    // No notes: the silence lasts as long, for the idle cost.
    file.endTrack(notes.empty() ? holdTicks : 0);
    return file;
}

bool parseCount(const char* text, int& count) {
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text, &end, 10);
    if (errno || end == text || *end || value < 0 || value > kMaxNotes) return false;
    count = static_cast<int>(value);
    return true;
}

bool parseSeconds(const char* text, double& seconds) {
    char* end = nullptr;
    errno = 0;
    seconds = std::strtod(text, &end);
    return !errno && end != text && !*end && std::isfinite(seconds) && seconds > 0.0 && seconds <= kMaxSeconds;
}

}  // namespace

}  // namespace tvx

int main(int argc, char** argv) {
    using namespace tvx;
    if (argc != 4) {
        std::fprintf(stderr, "usage: make_held_notes COUNT SECONDS OUT.mid\n");
        return 2;
    }
    int count = 0;
    double seconds = 0.0;
    if (!parseCount(argv[1], count)) {
        std::fprintf(stderr, "make_held_notes: COUNT must be a whole number from 0 to %d, not '%s'\n", kMaxNotes,
                     argv[1]);
        return 2;
    }
    if (!parseSeconds(argv[2], seconds)) {
        std::fprintf(stderr, "make_held_notes: SECONDS must be above 0 and at most %.0f, not '%s'\n", kMaxSeconds,
                     argv[2]);
        return 2;
    }
    if (!heldNotesFile(count, seconds).writeTo(argv[3])) {
        std::fprintf(stderr, "make_held_notes: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
