#include "effects/reverb_line.h"

#include <algorithm>

namespace tvx {

void ReverbLine::allocate(float sampleRate, float longestSeconds) {
    int longest = static_cast<int>(sampleRate * longestSeconds) + 2;
    capacity_ = std::min(std::max(longest, 1), kMaxLength);
    buffer_.assign(static_cast<size_t>(capacity_), 0.0f);
    length_ = std::min(length_, capacity_);
    position_ = 0;
}

void ReverbLine::clear() {
    std::fill(buffer_.begin(), buffer_.end(), 0.0f);
    position_ = 0;
}

void ReverbLine::setLength(int samples) {
    length_ = std::min(std::max(samples, 1), capacity_);
    if (position_ >= length_) position_ = 0;
}

int ReverbLine::tapOffset(int samples) const {
    return std::min(std::max(samples, 0), length_ - 1);
}

}  // namespace tvx
