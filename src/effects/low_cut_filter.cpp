#include "effects/low_cut_filter.h"

#include <cmath>

namespace tvx {

namespace {

// Past the Nyquist frequency the tangent turns negative and the filter
// unstable; only sample rates below 28.6 kHz reach this limit.
constexpr float kMaxCutoff = 0.98f;

inline float flush(float v) { return std::fabs(v) < 1e-10f ? 0.0f : v; }

}  // namespace

void LowCutFilter::computeCoefficients(float cutoff) {
    if (!(cutoff > 0.0f)) cutoff = 0.0f;
    if (cutoff > kMaxCutoff) cutoff = kMaxCutoff;
    float g = std::tan(cutoff * 0.25f * 6.2831853f);
    float h = 1.4142135f * (1.0f - 0.0f);
    float n = 1.0f / (g * g + 1.0f + h * g);
    b0_ = n;
    b1_ = -2.0f * n;
    b2_ = n;
    a1_ = 2.0f * (g * g - 1.0f) * n;
    a2_ = (1.0f - h * g + g * g) * n;
}

float LowCutFilter::process(float x, float cutoff) {
    if (counter_ == 0) computeCoefficients(cutoff);
    counter_ = (counter_ + 1) & 127;
    float y = b0_ * x + b1_ * x1_ + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
    x2_ = flush(x1_);
    x1_ = flush(x);
    y2_ = flush(y1_);
    y1_ = flush(y);
    return y;
}

void LowCutFilter::clear() {
    counter_ = 0;
    x1_ = x2_ = y1_ = y2_ = 0.0f;
}

}  // namespace tvx
