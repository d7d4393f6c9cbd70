#pragma once

#include <cstddef>
#include <vector>

#include "dsp/signal_level.h"

namespace tvx {

// A six-second circular line read and written at one position: the sample
// read is the one written `length` samples ago.
class DelayLine {
public:
    void allocate(float sampleRate);  // zeroed, length 0 until the first setLength
    // Keeps 1..capacity; a change silences the active part of the line.
    void setLength(int samples);
    void clear();           // whole buffer, position 0
    void clearIfDirty();    // the same, once after the line was last written

    float exchange(float x) {
        float out = buffer_[static_cast<std::size_t>(position_)];
        buffer_[static_cast<std::size_t>(position_)] = x;
        if (++position_ >= length_) position_ = 0;
        dirty_ = true;
        return out;
    }

    // The part of the line that is read: what the line still has to give.
    bool quietBelow(float level) const { return allBelow(buffer_.data(), static_cast<std::size_t>(length_), level); }
    int capacity() const { return capacity_; }
    int length() const { return length_; }
    bool dirty() const { return dirty_; }

private:
    std::vector<float> buffer_;
    int capacity_ = 0;
    int position_ = 0;
    int length_ = 0;
    bool dirty_ = true;
};

}  // namespace tvx
