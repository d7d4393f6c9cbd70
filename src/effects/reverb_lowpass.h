#pragma once

#include <cmath>

namespace tvx {

// Low-pass of the reverb's input and tank: a two-pole state-variable filter
// with damping 2 (critically damped, no peak, so the tank loop gain never
// rises above the decay gain) in its trapezoidal form, which is stable for
// every corner below the Nyquist frequency. Its corner is the given one at
// every sample rate that can carry it.
class ReverbLowpass {
public:
    void setCutoff(float hertz, float sampleRate);
    void clear();
    bool quietBelow(float level) const { return std::fabs(ic1_) < level && std::fabs(ic2_) < level; }

    float process(float x) {
        const float v3 = x - ic2_;
        const float v1 = a1_ * ic1_ + a2_ * v3;
        const float v2 = ic2_ + a2_ * ic1_ + a3_ * v3;
        ic1_ = 2.0f * v1 - ic1_;
        ic2_ = 2.0f * v2 - ic2_;
        return v2;
    }

private:
    static constexpr float kDamping = 2.0f;
    float hertz_ = -1.0f;
    float sampleRate_ = -1.0f;
    float a1_ = 0.0f, a2_ = 0.0f, a3_ = 0.0f;
    float ic1_ = 0.0f, ic2_ = 0.0f;
};

}  // namespace tvx
