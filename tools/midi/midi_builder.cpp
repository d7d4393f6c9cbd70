#include "midi/midi_builder.h"

#include <cstdio>

namespace tvx {

namespace {

void put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back((v >> shift) & 0xFF);
}

}  // namespace

MidiBuilder::MidiBuilder(int format, int ticksPerQuarter) : format_(format), ticksPerQuarter_(ticksPerQuarter) {}

MidiBuilder& MidiBuilder::beginTrack() {
    tracks_.emplace_back();
    return *this;
}

MidiBuilder& MidiBuilder::delta(uint32_t ticks) {
    uint8_t groups[5];
    int n = 0;
    do {
        groups[n++] = ticks & 0x7F;
        ticks >>= 7;
    } while (ticks);
    for (int i = n - 1; i >= 0; --i) tracks_.back().push_back(groups[i] | (i ? 0x80 : 0));
    return *this;
}

MidiBuilder& MidiBuilder::bytes(std::initializer_list<uint8_t> data) {
    tracks_.back().insert(tracks_.back().end(), data);
    return *this;
}

MidiBuilder& MidiBuilder::noteOn(uint32_t deltaTicks, int channel, int note, int velocity) {
    return delta(deltaTicks).bytes({uint8_t(0x90 | channel), uint8_t(note), uint8_t(velocity)});
}

MidiBuilder& MidiBuilder::noteOff(uint32_t deltaTicks, int channel, int note) {
    return delta(deltaTicks).bytes({uint8_t(0x80 | channel), uint8_t(note), 64});
}

MidiBuilder& MidiBuilder::tempo(uint32_t deltaTicks, uint32_t micros) {
    return delta(deltaTicks).bytes({0xFF, 0x51, 0x03, uint8_t(micros >> 16), uint8_t(micros >> 8), uint8_t(micros)});
}

MidiBuilder& MidiBuilder::endTrack(uint32_t deltaTicks) { return delta(deltaTicks).bytes({0xFF, 0x2F, 0x00}); }

std::vector<uint8_t> MidiBuilder::build() const {
    std::vector<uint8_t> out = {'M', 'T', 'h', 'd'};
    put32(out, 6);
    out.push_back(0);
    out.push_back(uint8_t(format_));
    out.push_back(0);
    out.push_back(uint8_t(tracks_.size()));
    out.push_back(uint8_t(ticksPerQuarter_ >> 8));
    out.push_back(uint8_t(ticksPerQuarter_));
    for (const auto& track : tracks_) {
        out.insert(out.end(), {'M', 'T', 'r', 'k'});
        put32(out, uint32_t(track.size()));
        out.insert(out.end(), track.begin(), track.end());
    }
    return out;
}

bool MidiBuilder::writeTo(const std::string& path) const {
    std::vector<uint8_t> data = build();
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace tvx
