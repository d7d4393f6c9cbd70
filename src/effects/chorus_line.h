#pragma once

#include <vector>

#include "dsp/signal_level.h"

namespace tvx {

// One modulated delay line of the chorus: a triangle LFO sweeps the read
// position around the base delay; a fixed feedback of 0.2.
class ChorusLine {
public:
    void prepare(float sampleRate);  // new zeroed buffer, LFO at 0, 6 ms base delay
    void setRate(float hertz);       // keeps the LFO's direction
    // depthParam 0..0.93 of the base delay, delayParam 0..1 for 0.1..8 ms
    void setShape(float depthParam, float delayParam);
    float process(float x);
    void advanceLfo(int count);   // the LFO of count process() calls, for a resting chorus
    void clear();
    bool quietBelow(float level) const { return allBelow(buffer_.data(), buffer_.size(), level); }

    int capacity() const { return capacity_; }
    float baseDelay() const { return baseDelay_; }
    float depth() const { return depth_; }
    float lfoIncrement() const { return increment_; }

private:
    void stepLfo();

    std::vector<float> buffer_;
    int capacity_ = 0;
    int position_ = 0;
    float sampleRate_ = 44100.0f;
    float lfo_ = 0.0f;
    float increment_ = 0.0f;
    float depth_ = 0.0f;
    float baseDelay_ = 0.0f;
    float feedback_ = 0.2f;
};

}  // namespace tvx
