#include "effects/chorus_line.h"

#include "params/value_mappings.h"

#include <algorithm>
#include <cstddef>
#include <cmath>

namespace tvx {

namespace {

constexpr float kMaxIncrement = 0.25f;

float limitIncrement(float v) { return std::min(std::max(v, -kMaxIncrement), kMaxIncrement); }

// The longest read is base delay plus depth, both at most 8 ms; a little
// headroom covers rounding and the second interpolation tap.
int capacityFor(float sampleRate) { return static_cast<int>(sampleRate * 0.0161f) + 8; }

}  // namespace

void ChorusLine::prepare(float sampleRate) {
    sampleRate_ = sampleRate;
    capacity_ = capacityFor(sampleRate);
    buffer_.assign(static_cast<std::size_t>(capacity_), 0.0f);
    position_ = 0;
    lfo_ = 0.0f;
    baseDelay_ = sampleRate * 0.0060250005f;
    depth_ = 0.9f * baseDelay_;
    float sign = increment_ < 0.0f ? -1.0f : 1.0f;
    increment_ = limitIncrement(sign * (1.2f / sampleRate));
    feedback_ = 0.2f;
}

void ChorusLine::setRate(float hertz) {
    float magnitude = hertz * 4.0f / sampleRate_;
    if (!std::isfinite(magnitude)) return;  // keep the old rate rather than a NaN LFO
    increment_ = limitIncrement(increment_ < 0.0f ? -magnitude : magnitude);
}

void ChorusLine::setShape(float depthParam, float delayParam) {
    // NaN would pass std::min/std::max; it reads as 0 here, as everywhere.
    float w = depthParam > 0.0f ? std::min(depthParam, 0.93f) : 0.0f;
    float depth = w * baseDelay_;
    float delay = delayParam > 0.0f ? std::min(delayParam, 1.0f) : 0.0f;
    float delayMs = std::max(chorusDelayMs(delay), 0.1f);
    baseDelay_ = delayMs * 0.001f * sampleRate_;
    depth_ = std::min(depth, baseDelay_);
}

inline void ChorusLine::stepLfo() {
    lfo_ += increment_;
    if (lfo_ > 1.0f) {
        lfo_ = 1.0f - (lfo_ - 1.0f);
        increment_ = -increment_;
    }
    if (lfo_ < -1.0f) {
        lfo_ = -1.0f - (lfo_ + 1.0f);
        increment_ = -increment_;
    }
}

void ChorusLine::advanceLfo(int count) {
    for (int i = 0; i < count; ++i) stepLfo();
}

float ChorusLine::process(float x) {
    stepLfo();
    float d = depth_ * lfo_ + baseDelay_;
    int i = d > 0.0f ? static_cast<int>(d) : 0;
    if (i > capacity_ - 1) i = capacity_ - 1;
    float f = d - static_cast<float>(i);
    int index = i + position_;
    if (index >= capacity_) index -= capacity_;
    int next = index + 1;
    if (next >= capacity_) next -= capacity_;
    float a = buffer_[static_cast<std::size_t>(index)];
    float y = a + (buffer_[static_cast<std::size_t>(next)] - a) * f;
    float written = y * feedback_ + x;
    // The fixed feedback would let a silent line sink into denormals.
    buffer_[static_cast<std::size_t>(position_)] = std::fabs(written) < 1e-20f ? 0.0f : written;
    position_ = position_ == 0 ? capacity_ - 1 : position_ - 1;
    return (y + x) * 0.5f;
}

void ChorusLine::clear() {
    std::fill(buffer_.begin(), buffer_.end(), 0.0f);
    position_ = 0;
}

}  // namespace tvx
