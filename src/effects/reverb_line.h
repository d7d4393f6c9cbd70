#pragma once

#include <cstddef>
#include <vector>

#include "dsp/sample_rate_limits.h"
#include "dsp/signal_level.h"

namespace tvx {

// Circular line of the plate reverb, used as a plain delay, a multi-tap delay
// or an allpass. A tap k reads the sample k positions after the write
// position, which moves with it; tap 0 is the oldest sample.
class ReverbLine {
public:
    // The longest line (0.15 s) at the highest rate, with room to spare;
    // bounds the storage should a rate beyond it ever arrive.
    static constexpr int kMaxLength = static_cast<int>(kMaxSampleRate * 0.25f);

    // Storage for the longest length this line takes at the rate, with headroom.
    void allocate(float sampleRate, float longestSeconds);
    void clear();                // zeroes, position 0
    void setLength(int samples);  // 1..capacity; keeps the position inside
    // Tap offset kept inside the line.
    int tapOffset(int samples) const;

    float push(float x) {
        float out = buffer_[static_cast<std::size_t>(position_)];
        buffer_[static_cast<std::size_t>(position_)] = x;
        advance();
        return out;
    }

    float allpass(float x, float g) {
        float d = buffer_[static_cast<std::size_t>(position_)];
        float y = d - g * x;
        buffer_[static_cast<std::size_t>(position_)] = g * y + x;
        advance();
        return y;
    }

    float tap(int offset) const {
        int index = position_ + offset;
        if (index >= length_) index -= length_;
        return buffer_[static_cast<std::size_t>(index)];
    }

    bool quietBelow(float level) const { return allBelow(buffer_.data(), static_cast<std::size_t>(length_), level); }
    int length() const { return length_; }
    int capacity() const { return capacity_; }

private:
    void advance() {
        if (++position_ >= length_) position_ = 0;
    }

    std::vector<float> buffer_;
    int capacity_ = 1;
    int length_ = 1;
    int position_ = 0;
};

}  // namespace tvx
