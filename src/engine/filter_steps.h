#pragma once

#include "dsp/simd.h"

namespace tvx {

#if TVX_SSE2

// One sample of the ladder and state-variable filters for the lanes of a
// register: both channels of one filter (lanes 0 and 1), or one channel of
// four voices' filters. Every lane does the operations of the scalar form in
// the same order. A lane whose state went bad is cleared and gives 0.
namespace filter_sse {

constexpr float kDenormal = 1e-10f;

inline __m128 flush(__m128 x) {
    const __m128 magnitude = _mm_andnot_ps(_mm_set1_ps(-0.0f), x);
    return _mm_andnot_ps(_mm_cmplt_ps(magnitude, _mm_set1_ps(kDenormal)), x);
}

// All bits set in the lanes whose sum is healthy (not NaN, not huge).
inline __m128 healthyLanes(__m128 sum) {
    const __m128 magnitude = _mm_andnot_ps(_mm_set1_ps(-0.0f), sum);
    return _mm_cmplt_ps(magnitude, _mm_set1_ps(1e20f));
}

// Clip to -1..1, NaN to 0.
inline __m128 clipInput(__m128 x) {
    const __m128 ordered = _mm_and_ps(x, _mm_cmpord_ps(x, x));
    return _mm_min_ps(_mm_max_ps(ordered, _mm_set1_ps(-1.0f)), _mm_set1_ps(1.0f));
}

struct LadderCoefficients {
    __m128 g, k, r, G4, twoG, S1, S2, S3, gain;
};

struct LadderChannel {
    __m128 s1, s2, s3, s4, previous;
};

// The output is scaled by the ladder's gain.
inline __m128 ladderStep(LadderChannel& c, const LadderCoefficients& k, __m128 x) {
    const __m128 u =
        _mm_sub_ps(_mm_mul_ps(_mm_add_ps(x, c.previous), _mm_set1_ps(0.5f)), _mm_mul_ps(k.k, c.s4));
    c.previous = x;
    const __m128 u2 = _mm_mul_ps(u, u);
    const __m128 numerator = _mm_add_ps(_mm_mul_ps(_mm_add_ps(u2, _mm_set1_ps(105.0f)), u2), _mm_set1_ps(945.0f));
    const __m128 denominator = _mm_add_ps(
        _mm_mul_ps(_mm_add_ps(_mm_mul_ps(_mm_set1_ps(15.0f), u2), _mm_set1_ps(420.0f)), u2), _mm_set1_ps(945.0f));
    const __m128 h = _mm_div_ps(numerator, denominator);

    __m128 sum = _mm_add_ps(_mm_mul_ps(k.S1, c.s1), _mm_mul_ps(k.S2, c.s2));
    sum = _mm_add_ps(sum, _mm_mul_ps(k.S3, c.s3));
    sum = _mm_add_ps(sum, _mm_mul_ps(k.r, c.s4));
    sum = _mm_add_ps(sum, _mm_mul_ps(_mm_mul_ps(h, k.G4), x));
    __m128 y4 = _mm_div_ps(sum, _mm_add_ps(_mm_set1_ps(1.0f), _mm_mul_ps(_mm_mul_ps(k.k, h), k.G4)));
    const __m128 input = _mm_mul_ps(_mm_sub_ps(x, _mm_mul_ps(k.k, y4)), h);
    const __m128 y1 = _mm_mul_ps(_mm_add_ps(_mm_mul_ps(k.g, input), c.s1), k.r);
    c.s1 = flush(_mm_add_ps(_mm_mul_ps(k.twoG, _mm_sub_ps(input, y1)), c.s1));
    const __m128 y2 = _mm_mul_ps(_mm_add_ps(_mm_mul_ps(k.g, y1), c.s2), k.r);
    c.s2 = flush(_mm_add_ps(_mm_mul_ps(k.twoG, _mm_sub_ps(y1, y2)), c.s2));
    const __m128 y3 = _mm_mul_ps(_mm_add_ps(_mm_mul_ps(k.g, y2), c.s3), k.r);
    c.s3 = flush(_mm_add_ps(_mm_mul_ps(k.twoG, _mm_sub_ps(y2, y3)), c.s3));
    c.s4 = flush(_mm_add_ps(_mm_mul_ps(k.twoG, _mm_sub_ps(y3, y4)), c.s4));

    const __m128 healthy =
        healthyLanes(_mm_add_ps(_mm_add_ps(_mm_add_ps(_mm_add_ps(c.s1, c.s2), c.s3), c.s4), y4));
    c.previous = _mm_and_ps(c.previous, healthy);
    c.s1 = _mm_and_ps(c.s1, healthy);
    c.s2 = _mm_and_ps(c.s2, healthy);
    c.s3 = _mm_and_ps(c.s3, healthy);
    c.s4 = _mm_and_ps(c.s4, healthy);
    return _mm_mul_ps(_mm_and_ps(y4, healthy), k.gain);
}

struct SvfCoefficients {
    __m128 a1, a2, a3, m0, m1, m2;
};

struct SvfChannel {
    __m128 ic1, ic2;
};

inline __m128 svfStep(SvfChannel& c, const SvfCoefficients& k, __m128 x) {
    const __m128 e = _mm_sub_ps(x, c.ic2);
    const __m128 bp = _mm_add_ps(_mm_mul_ps(k.a1, c.ic1), _mm_mul_ps(k.a2, e));
    const __m128 lp = _mm_add_ps(_mm_add_ps(c.ic2, _mm_mul_ps(k.a2, c.ic1)), _mm_mul_ps(k.a3, e));
    const __m128 next1 = flush(_mm_sub_ps(_mm_mul_ps(_mm_set1_ps(2.0f), bp), c.ic1));
    const __m128 next2 = flush(_mm_sub_ps(_mm_mul_ps(_mm_set1_ps(2.0f), lp), c.ic2));
    const __m128 y =
        _mm_add_ps(_mm_add_ps(_mm_mul_ps(k.m0, x), _mm_mul_ps(k.m1, bp)), _mm_mul_ps(k.m2, lp));
    const __m128 healthy = healthyLanes(_mm_add_ps(_mm_add_ps(next1, next2), y));
    c.ic1 = _mm_and_ps(next1, healthy);
    c.ic2 = _mm_and_ps(next2, healthy);
    return _mm_and_ps(y, healthy);
}

}  // namespace filter_sse

#endif

}  // namespace tvx
