#include "effects/reverb_lowpass.h"

#include <cmath>

namespace {

// With damping 2 the three steps are only stable for f below 2 (sqrt 2 - 1),
// about 0.83, and ring near the Nyquist frequency above 0.7. 2 sin(pi fc / fs)
// for 18.5 kHz exceeds that at every rate below about 160 kHz (1.94 at
// 44.1 kHz, which blows up within 15 samples), so f is held at 0.7 there.
constexpr float kMaxCoefficient = 0.7f;

}  // namespace

void ReverbLowpass::setCutoff(float hertz, float sampleRate) {
    float ratio = hertz / sampleRate;
    if (!(ratio > 0.0f)) ratio = 0.0f;
    if (ratio > 0.25f) ratio = 0.25f;
    float f = 2.0f * std::sin(3.14159265f * ratio);
    f_ = f < kMaxCoefficient ? f : kMaxCoefficient;
}

void ReverbLowpass::clear() {
    low_ = 0.0f;
    band_ = 0.0f;
}
