// Writes a Standard MIDI File that strikes COUNT notes at once and holds
// them for SECONDS at 120 BPM: the steady polyphonic load the peer
// comparison measures. The notes are spread evenly over four octaves or
// more from C2 (MIDI 36), so voices do not share a pitch.

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <vector>

namespace {

constexpr uint32_t kTicksPerQuarter = 480;
constexpr uint32_t kMicrosecondsPerQuarter = 500000;  // 120 BPM
constexpr int kLowestNote = 36;
constexpr int kMinimumSpan = 48;
constexpr int kMaxNotes = 127 - kLowestNote + 1;
constexpr double kMaxSeconds = 3600.0;
constexpr uint8_t kVelocity = 100;

class TrackWriter {
public:
    void event(uint32_t deltaTicks, std::initializer_list<uint8_t> data) {
        putDelta(deltaTicks);
        bytes_.insert(bytes_.end(), data);
    }
    const std::vector<uint8_t>& bytes() const { return bytes_; }

private:
    std::vector<uint8_t> bytes_;

    void putDelta(uint32_t ticks) {
        uint8_t groups[5];
        int n = 0;
        do {
            groups[n++] = ticks & 0x7F;
            ticks >>= 7;
        } while (ticks);
        for (int i = n - 1; i >= 0; --i) bytes_.push_back(groups[i] | (i ? 0x80 : 0));
    }
};

void put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) out.push_back((v >> s) & 0xFF);
}

std::vector<uint8_t> spreadNotes(int count) {
    const int span = count - 1 > kMinimumSpan ? count - 1 : kMinimumSpan;
    std::vector<uint8_t> notes;
    for (int i = 0; i < count; ++i) {
        const int offset = count == 1 ? 0 : static_cast<int>(std::lround(double(i) * span / (count - 1)));
        notes.push_back(static_cast<uint8_t>(kLowestNote + offset));
    }
    return notes;
}

std::vector<uint8_t> heldNotesFile(int count, double seconds) {
    const double quarters = seconds * 1e6 / kMicrosecondsPerQuarter;
    const uint32_t holdTicks = static_cast<uint32_t>(std::lround(quarters * kTicksPerQuarter));
    const std::vector<uint8_t> notes = spreadNotes(count);

    TrackWriter track;
    track.event(0, {0xFF, 0x51, 0x03, uint8_t(kMicrosecondsPerQuarter >> 16), uint8_t(kMicrosecondsPerQuarter >> 8),
                    uint8_t(kMicrosecondsPerQuarter)});
    for (uint8_t note : notes) track.event(0, {0x90, note, kVelocity});
    for (size_t i = 0; i < notes.size(); ++i) track.event(i == 0 ? holdTicks : 0, {0x80, notes[i], 64});
    track.event(0, {0xFF, 0x2F, 0x00});

    std::vector<uint8_t> file = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, uint8_t(kTicksPerQuarter >> 8),
                                 uint8_t(kTicksPerQuarter & 0xFF)};
    file.insert(file.end(), {'M', 'T', 'r', 'k'});
    put32(file, static_cast<uint32_t>(track.bytes().size()));
    file.insert(file.end(), track.bytes().begin(), track.bytes().end());
    return file;
}

bool parseCount(const char* text, int& count) {
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text, &end, 10);
    if (errno || end == text || *end || value < 1 || value > kMaxNotes) return false;
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

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: make_held_notes COUNT SECONDS OUT.mid\n");
        return 2;
    }
    int count = 0;
    double seconds = 0.0;
    if (!parseCount(argv[1], count)) {
        std::fprintf(stderr, "make_held_notes: COUNT must be a whole number from 1 to %d, not '%s'\n", kMaxNotes,
                     argv[1]);
        return 2;
    }
    if (!parseSeconds(argv[2], seconds)) {
        std::fprintf(stderr, "make_held_notes: SECONDS must be above 0 and at most %.0f, not '%s'\n", kMaxSeconds,
                     argv[2]);
        return 2;
    }
    const std::vector<uint8_t> file = heldNotesFile(count, seconds);
    std::FILE* f = std::fopen(argv[3], "wb");
    const bool written = f && std::fwrite(file.data(), 1, file.size(), f) == file.size();
    if (!f || std::fclose(f) != 0 || !written) {
        std::fprintf(stderr, "make_held_notes: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
