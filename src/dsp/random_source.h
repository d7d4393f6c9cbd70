#pragma once

#include <cstdint>

namespace tvx {

// The random numbers of one plug-in instance: noise, random LFO shapes,
// random modulation sources and random start phases. A linear congruential
// generator that hands out 15-bit values (0..32767), the range every random
// distribution of the sound is defined over; it takes no lock and keeps its
// state in the instance, so instances and threads never disturb each other.
class RandomSource {
public:
    static constexpr int kMax = 32767;

    explicit RandomSource(std::uint32_t seed = 1) : state_(seed) {}

    void seed(std::uint32_t seed) { state_ = seed; }

    int next() {
        state_ = state_ * 214013u + 2531011u;
        return static_cast<int>((state_ >> 16) & 0x7FFFu);
    }

private:
    std::uint32_t state_;
};

}  // namespace tvx
