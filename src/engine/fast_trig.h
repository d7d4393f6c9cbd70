#pragma once

namespace tvx {

// Sine and tangent for the per-sample paths, without library calls.

// The terms of sinCycles, which its vector forms (fast_trig_lanes.h) share.
namespace sine_terms {
constexpr float kTwoPi = 6.28318531f;
constexpr float k3 = -1.0f / 6.0f, k5 = 1.0f / 120.0f, k7 = -1.0f / 5040.0f, k9 = 1.0f / 362880.0f,
                k11 = -1.0f / 39916800.0f;
}  // namespace sine_terms

// sin(2 pi x) for |x| well inside the int range; absolute error below 1e-7.
inline float sinCycles(float x) {
    using namespace sine_terms;
    float r = x - static_cast<float>(static_cast<int>(x));
    if (r > 0.5f) r -= 1.0f;
    else if (r < -0.5f) r += 1.0f;
    if (r > 0.25f) r = 0.5f - r;
    else if (r < -0.25f) r = -0.5f - r;
    const float z = r * kTwoPi;
    const float z2 = z * z;
    return z * (1.0f + z2 * (k3 + z2 * (k5 + z2 * (k7 + z2 * (k9 + z2 * k11)))));
}

// tan(pi x) for 0 <= x < 0.5, to 2.2e-7 relative: an odd polynomial on
// 0..pi/4, and 1 / tan(pi (0.5 - x)) above, where 0.5 - x is exact.
inline float tanPi(float x) {
    const bool upper = x > 0.25f;
    const float z = 3.14159265f * (upper ? 0.5f - x : x);
    const float z2 = z * z;
    const float t = (((((9.38540185543e-3f * z2 + 3.11992232697e-3f) * z2 + 2.44301354525e-2f) * z2 +
                       5.34112807005e-2f) * z2 + 1.33387994085e-1f) * z2 + 3.33331568548e-1f) * z2 * z + z;
    return upper ? 1.0f / t : t;
}

}  // namespace tvx
