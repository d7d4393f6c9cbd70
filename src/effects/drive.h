#pragma once

#include "dsp/param_smoother.h"

namespace tvx {

// Blend towards a signed square root, then an output gain of -20..+20 dB.
class Drive {
public:
    void prepare(float sampleRate);
    void jumpSmoothers();
    void process(const float* params, float& left, float& right);
    // Silence in, silence out: resting needs only the smoothers to hold.
    bool settled(const float* params) const;
    // No drive and unity gain that stay so: every sample leaves as it came.
    bool passesThrough(const float* params) const;
    void rest(int) {}   // no clocks
    void clear() {}     // no state
    bool quietInside(float) const { return true; }

private:
    ParamSmoother amount_;
    ParamSmoother gain_;
};

}  // namespace tvx
