#include "vsthost/midi_file.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace tvx {

namespace vsthost {

namespace {

constexpr uint32_t kDefaultMicrosPerQuarter = 500000;

struct Reader {
    const std::vector<uint8_t>& data;
    size_t pos;
    size_t end;

    bool has(size_t n) const { return pos <= end && end - pos >= n; }
    bool byte(uint8_t& out) {
        if (!has(1)) return false;
        out = data[pos++];
        return true;
    }
    bool u16(uint32_t& out) {
        if (!has(2)) return false;
        out = (uint32_t(data[pos]) << 8) | data[pos + 1];
        pos += 2;
        return true;
    }
    bool u32(uint32_t& out) {
        if (!has(4)) return false;
        out = (uint32_t(data[pos]) << 24) | (uint32_t(data[pos + 1]) << 16) | (uint32_t(data[pos + 2]) << 8) |
              data[pos + 3];
        pos += 4;
        return true;
    }
    // Variable-length quantity of at most four bytes.
    bool vlq(uint32_t& out) {
        out = 0;
        for (int i = 0; i < 4; ++i) {
            uint8_t b;
            if (!byte(b)) return false;
            out = (out << 7) | (b & 0x7F);
            if (!(b & 0x80)) return true;
        }
        return false;
    }
    bool skip(size_t n) {
        if (!has(n)) return false;
        pos += n;
        return true;
    }
};

struct RawTempo {
    uint64_t tick;
    uint32_t microsPerQuarter;
};

int dataBytesOf(uint8_t status) {
    uint8_t kind = status & 0xF0;
    return (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
}

bool parseTrack(Reader& r, int track, std::vector<MidiFileEvent>& events, std::vector<RawTempo>& tempos,
                uint64_t& endTick, std::string& error) {
    const std::string where = "track " + std::to_string(track + 1);
    uint64_t tick = 0;
    uint8_t running = 0;
    while (r.pos < r.end) {
        uint32_t delta;
        if (!r.vlq(delta)) {
            error = "truncated MIDI file: " + where + " ends inside a delta time";
            return false;
        }
        tick += delta;
        uint8_t first;
        if (!r.byte(first)) {
            error = "truncated MIDI file: " + where + " ends before an event";
            return false;
        }
        if (first == 0xFF) {
            uint8_t type;
            uint32_t length;
            if (!r.byte(type) || !r.vlq(length) || !r.has(length)) {
                error = "truncated MIDI file: " + where + " ends inside a meta event";
                return false;
            }
            if (type == 0x51 && length == 3) {
                uint32_t micros = (uint32_t(r.data[r.pos]) << 16) | (uint32_t(r.data[r.pos + 1]) << 8) |
                                  r.data[r.pos + 2];
                if (micros > 0) tempos.push_back({tick, micros});
            }
            r.skip(length);
            if (type == 0x2F) {
                endTick = std::max(endTick, tick);
                return true;
            }
            continue;
        }
        if (first == 0xF0 || first == 0xF7) {
            uint32_t length;
            if (!r.vlq(length) || !r.skip(length)) {
                error = "truncated MIDI file: " + where + " ends inside a SysEx event";
                return false;
            }
            running = 0;
            continue;
        }
        if (first >= 0xF1) {
            error = "malformed MIDI file: " + where + " has the system status byte " + std::to_string(first);
            return false;
        }
        MidiFileEvent event;
        event.tick = tick;
        event.track = track;
        uint8_t status = first;
        int have = 0;
        if (first < 0x80) {
            if (!running) {
                error = "malformed MIDI file: " + where + " has a data byte without a status (running status)";
                return false;
            }
            status = running;
            event.bytes[1] = first;
            have = 1;
        }
        running = status;
        event.bytes[0] = status;
        int needed = dataBytesOf(status);
        for (int i = have; i < needed; ++i) {
            uint8_t b;
            if (!r.byte(b)) {
                error = "truncated MIDI file: " + where + " ends inside a channel message";
                return false;
            }
            if (b & 0x80) {
                error = "malformed MIDI file: " + where + " has a status byte where data was expected";
                return false;
            }
            event.bytes[1 + i] = b;
        }
        event.size = 1 + needed;
        events.push_back(event);
    }
    endTick = std::max(endTick, tick);
    return true;
}

// Tempo map in ticks turned into seconds, for pulses-per-quarter timing.
std::vector<TempoChange> buildTempoMap(std::vector<RawTempo> raw, uint32_t ticksPerQuarter) {
    std::stable_sort(raw.begin(), raw.end(), [](const RawTempo& a, const RawTempo& b) { return a.tick < b.tick; });
    std::vector<TempoChange> map;
    map.push_back({0, 0.0, 60000000.0 / kDefaultMicrosPerQuarter});
    uint32_t micros = kDefaultMicrosPerQuarter;
    for (const RawTempo& t : raw) {
        TempoChange& last = map.back();
        double seconds = last.seconds + double(t.tick - last.tick) * micros / 1e6 / ticksPerQuarter;
        micros = t.microsPerQuarter;
        if (t.tick == last.tick) {
            last.bpm = 60000000.0 / micros;
        } else {
            map.push_back({t.tick, seconds, 60000000.0 / micros});
        }
    }
    return map;
}

double secondsAtTick(const std::vector<TempoChange>& map, uint64_t tick, uint32_t ticksPerQuarter) {
    auto it = std::upper_bound(map.begin(), map.end(), tick,
                               [](uint64_t t, const TempoChange& c) { return t < c.tick; });
    const TempoChange& c = *(it - 1);
    return c.seconds + double(tick - c.tick) * (60.0 / c.bpm) / ticksPerQuarter;
}

}  // namespace

double MidiFile::tempoAt(double seconds) const {
    double bpm = 120.0;
    for (const TempoChange& t : tempos) {
        if (t.seconds > seconds) break;
        bpm = t.bpm;
    }
    return bpm;
}

bool parseMidiFile(const std::vector<uint8_t>& data, MidiFile& file, std::string& error) {
    file = MidiFile();
    Reader r{data, 0, data.size()};
    uint32_t headerLength, format, tracks, division;
    if (!r.has(4) || std::string(data.begin(), data.begin() + 4) != "MThd") {
        error = "not a Standard MIDI File (no MThd header)";
        return false;
    }
    r.skip(4);
    if (!r.u32(headerLength) || headerLength < 6 || !r.u16(format) || !r.u16(tracks) || !r.u16(division) ||
        !r.skip(headerLength - 6)) {
        error = "truncated MIDI file: incomplete header";
        return false;
    }
    if (format > 1) {
        error = "unsupported MIDI file type " + std::to_string(format) + " (types 0 and 1 are supported)";
        return false;
    }
    if (division == 0) {
        error = "malformed MIDI file: zero time division";
        return false;
    }
    double smpteSecondsPerTick = 0.0;
    uint32_t ticksPerQuarter = division;
    if (division & 0x8000) {
        int framesPerSecond = -static_cast<int8_t>(division >> 8);
        int ticksPerFrame = division & 0xFF;
        if (framesPerSecond <= 0 || ticksPerFrame == 0) {
            error = "malformed MIDI file: invalid SMPTE time division";
            return false;
        }
        smpteSecondsPerTick = 1.0 / (double(framesPerSecond) * ticksPerFrame);
    }

    std::vector<RawTempo> rawTempos;
    uint64_t endTick = 0;
    int parsed = 0;
    while (parsed < static_cast<int>(tracks)) {
        uint32_t length = 0;
        if (!r.has(8)) {
            error = "truncated MIDI file: " + std::to_string(tracks) + " tracks announced, " +
                    std::to_string(parsed) + " found";
            return false;
        }
        bool isTrack = std::equal(data.begin() + r.pos, data.begin() + r.pos + 4, "MTrk");
        r.skip(4);
        r.u32(length);
        if (!r.has(length)) {
            error = "truncated MIDI file: track " + std::to_string(parsed + 1) + " is shorter than its header says";
            return false;
        }
        if (!isTrack) {
            r.skip(length);
            continue;
        }
        Reader track{data, r.pos, r.pos + length};
        if (!parseTrack(track, parsed, file.events, rawTempos, endTick, error)) return false;
        r.skip(length);
        ++parsed;
    }
    file.format = static_cast<int>(format);
    file.trackCount = parsed;

    std::stable_sort(file.events.begin(), file.events.end(),
                     [](const MidiFileEvent& a, const MidiFileEvent& b) { return a.tick < b.tick; });
    if (smpteSecondsPerTick > 0.0) {
        file.tempos.push_back({0, 0.0, 120.0});
        for (MidiFileEvent& e : file.events) e.seconds = static_cast<double>(e.tick) * smpteSecondsPerTick;
        file.lengthSeconds = static_cast<double>(endTick) * smpteSecondsPerTick;
    } else {
        file.tempos = buildTempoMap(rawTempos, ticksPerQuarter);
        for (MidiFileEvent& e : file.events) e.seconds = secondsAtTick(file.tempos, e.tick, ticksPerQuarter);
        file.lengthSeconds = secondsAtTick(file.tempos, endTick, ticksPerQuarter);
    }
    return true;
}

bool readMidiFile(const std::string& path, MidiFile& file, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot open MIDI file '" + path + "'";
        return false;
    }
    std::vector<uint8_t> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        error = "cannot read MIDI file '" + path + "'";
        return false;
    }
    if (!parseMidiFile(data, file, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

}  // namespace vsthost

}  // namespace tvx
