#pragma once

#include <cmath>

namespace tvx {

// Second-order Butterworth high-pass; the coefficients follow the cut-off
// once every 128 samples.
class LowCutFilter {
public:
    // cutoff as a fraction of the Nyquist frequency
    float process(float x, float cutoff);
    void clear();
    bool quietBelow(float level) const {
        return std::fabs(x1_) < level && std::fabs(x2_) < level && std::fabs(y1_) < level && std::fabs(y2_) < level;
    }
    // count samples of silence in a silent filter: only the coefficient clock moves.
    void rest(int count) { counter_ = (counter_ + count) & 127; }

private:
    void computeCoefficients(float cutoff);

    float b0_ = 0.0f, b1_ = 0.0f, b2_ = 0.0f, a1_ = 0.0f, a2_ = 0.0f;
    int counter_ = 0;
    float x1_ = 0.0f, x2_ = 0.0f, y1_ = 0.0f, y2_ = 0.0f;
};

}  // namespace tvx
