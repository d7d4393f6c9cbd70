#pragma once

// Three times oversampled state-variable low-pass (damping 2) of the reverb's
// input and tank.
class ReverbLowpass {
public:
    void setCutoff(float hertz, float sampleRate);
    void clear();

    float process(float x) {
        low_ = low_ + f_ * band_ + 1e-25f;
        band_ = band_ + f_ * (x - low_ - kDamping * band_);
        low_ = low_ + f_ * band_ + 1e-25f;
        band_ = band_ + f_ * (x - low_ - kDamping * band_);
        low_ = low_ + f_ * band_ + 1e-25f;
        float high = x - low_ - kDamping * band_;
        band_ = band_ + f_ * high;
        return low_;
    }

private:
    static constexpr float kDamping = 2.0f;
    float f_ = 0.0f;
    float low_ = 0.0f;
    float band_ = 0.0f;
};
