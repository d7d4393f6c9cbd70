#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tvx {

// Builds Standard MIDI Files byte by byte: the demo, the benchmark files and
// the files of the tests.
class MidiBuilder {
public:
    explicit MidiBuilder(int format = 0, int ticksPerQuarter = 480);

    MidiBuilder& beginTrack();
    MidiBuilder& delta(uint32_t ticks);
    MidiBuilder& bytes(std::initializer_list<uint8_t> data);
    MidiBuilder& noteOn(uint32_t deltaTicks, int channel, int note, int velocity);
    MidiBuilder& noteOff(uint32_t deltaTicks, int channel, int note);
    MidiBuilder& tempo(uint32_t deltaTicks, uint32_t microsPerQuarter);
    MidiBuilder& endTrack(uint32_t deltaTicks = 0);

    std::vector<uint8_t> build() const;
    bool writeTo(const std::string& path) const;

private:
    int format_;
    int ticksPerQuarter_;
    std::vector<std::vector<uint8_t>> tracks_;
};

}  // namespace tvx
