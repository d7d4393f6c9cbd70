#include "effects/delay_line.h"

#include <algorithm>

namespace tvx {

void DelayLine::allocate(float sampleRate) {
    capacity_ = std::max(1, static_cast<int>(sampleRate * 6.0000005f));
    buffer_.assign(static_cast<size_t>(capacity_), 0.0f);
    position_ = 0;
    length_ = 0;
    dirty_ = false;
}

void DelayLine::setLength(int samples) {
    if (samples == length_) return;
    length_ = std::min(std::max(samples, 1), capacity_);
    if (position_ >= length_) position_ = 0;
    std::fill(buffer_.begin(), buffer_.begin() + length_, 0.0f);
}

void DelayLine::clear() {
    std::fill(buffer_.begin(), buffer_.end(), 0.0f);
    position_ = 0;
    dirty_ = false;
}

void DelayLine::clearIfDirty() {
    if (dirty_) clear();
}

}  // namespace tvx
