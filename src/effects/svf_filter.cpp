#include "effects/svf_filter.h"

#include <cmath>

namespace tvx {

namespace {

constexpr float kPi = 3.14159265f;
// Fixed resonance of 0.2 on the 0.5..10 Q scale.
const float kBaseQ = 0.2f * 0.2f * 9.5f + 0.5f;

inline float flush(float v) { return std::fabs(v) < 1e-10f ? 0.0f : v; }

}  // namespace

void SvfFilter::clear() {
    for (int c = 0; c < 2; ++c) {
        ic1_[c] = 0.0f;
        ic2_[c] = 0.0f;
    }
}

bool SvfFilter::quietBelow(float level) const {
    for (int c = 0; c < 2; ++c)
        if (!(std::fabs(ic1_[c]) < level && std::fabs(ic2_[c]) < level)) return false;
    return true;
}

void SvfFilter::computeCoefficients(Type type) {
    float g = std::tan(kPi * frequency);
    float q = kBaseQ;
    if (type == Bell) q *= A_;
    float k = 1.0f / q;
    switch (type) {
        case Bell:
            a1_ = 1.0f / (1.0f + g * (g + k));
            a2_ = g * a1_;
            a3_ = g * a2_;
            m0_ = 1.0f;
            m1_ = k * (A_ * A_ - 1.0f);
            m2_ = 0.0f;
            break;
        case LowShelf: {
            float gs = g / rootA_;
            a1_ = 1.0f / (1.0f + gs * (gs + k));
            a2_ = gs * a1_;
            a3_ = gs * a2_;
            m0_ = 1.0f;
            m1_ = k * (A_ - 1.0f);
            m2_ = A_ * A_ - 1.0f;
            break;
        }
        case HighShelf: {
            float gs = g * rootA_;
            a1_ = 1.0f / (1.0f + gs * (gs + k));
            a2_ = gs * a1_;
            a3_ = gs * a2_;
            m0_ = A_ * A_;
            m1_ = k * (1.0f - A_) * A_;
            m2_ = 1.0f - A_ * A_;
            break;
        }
    }
    a1_ = flush(a1_);
    a2_ = flush(a2_);
    a3_ = flush(a3_);
    m0_ = flush(m0_);
    m1_ = flush(m1_);
    m2_ = flush(m2_);
}

float SvfFilter::processChannel(int c, float x) {
    float v3 = x - ic2_[c];
    float v1 = a1_ * ic1_[c] + a2_ * v3;
    float v2 = ic2_[c] + a2_ * ic1_[c] + a3_ * v3;
    ic1_[c] = flush(2.0f * v1 - ic1_[c]);
    ic2_[c] = flush(2.0f * v2 - ic2_[c]);
    v1 = flush(v1);
    v2 = flush(v2);
    return m0_ * x + m1_ * v1 + m2_ * v2;
}

void SvfFilter::process(Type type, float& left, float& right) {
    // The coefficients follow frequency and gain only while they move.
    if (type != coefficientType_ || frequency != coefficientFrequency_ || A_ != coefficientA_) {
        computeCoefficients(type);
        coefficientType_ = type;
        coefficientFrequency_ = frequency;
        coefficientA_ = A_;
    }
    if (gain != gainOfA_) {
        A_ = std::pow(10.0f, gain / 40.0f);
        rootA_ = std::sqrt(A_);
        gainOfA_ = gain;
    }
    left = processChannel(0, left);
    right = processChannel(1, right);
}

}  // namespace tvx
