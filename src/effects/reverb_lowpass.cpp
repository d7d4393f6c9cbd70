#include "effects/reverb_lowpass.h"

#include <cmath>

namespace tvx {

namespace {

// The corner stays below the Nyquist frequency, where the warping has its pole.
constexpr float kMaxRatio = 0.45f;

}  // namespace

void ReverbLowpass::setCutoff(float hertz, float sampleRate) {
    if (hertz == hertz_ && sampleRate == sampleRate_) return;
    hertz_ = hertz;
    sampleRate_ = sampleRate;
    float ratio = sampleRate > 0.0f ? hertz / sampleRate : 0.0f;
    if (!(ratio > 0.0f)) ratio = 0.0f;
    if (ratio > kMaxRatio) ratio = kMaxRatio;
    const double g = std::tan(3.14159265358979 * static_cast<double>(ratio));
    const double a1 = 1.0 / (1.0 + g * (g + static_cast<double>(kDamping)));
    a1_ = static_cast<float>(a1);
    a2_ = static_cast<float>(g * a1);
    a3_ = static_cast<float>(g * g * a1);
}

void ReverbLowpass::clear() {
    ic1_ = 0.0f;
    ic2_ = 0.0f;
}

}  // namespace tvx
