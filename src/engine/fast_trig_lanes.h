#pragma once

// sinCycles for four values side by side (SSE2) or eight (AVX2, for the
// functions built for it). Every lane does the operations of the scalar form
// in its order, with its single rounding each, and the branches become
// selections: each lane gives the scalar result bit for bit.
#include "engine/fast_trig.h"

#include "dsp/simd.h"

#if TVX_AVX2
#include <immintrin.h>
#endif

namespace tvx {

#if TVX_SSE2
namespace trig_lanes {

// a where mask is set, else b.
inline __m128 select(__m128 mask, __m128 a, __m128 b) { return _mm_or_ps(_mm_and_ps(mask, a), _mm_andnot_ps(mask, b)); }

}  // namespace trig_lanes

inline __m128 sinCyclesLanes(__m128 x) {
    using namespace sine_terms;
    using trig_lanes::select;
    const __m128 one = _mm_set1_ps(1.0f);
    const __m128 half = _mm_set1_ps(0.5f), minusHalf = _mm_set1_ps(-0.5f);
    const __m128 quarter = _mm_set1_ps(0.25f), minusQuarter = _mm_set1_ps(-0.25f);
    // The truncation and its conversion back are those of the casts: out of
    // the int range both give INT_MIN.
    __m128 r = _mm_sub_ps(x, _mm_cvtepi32_ps(_mm_cvttps_epi32(x)));
    r = select(_mm_cmpgt_ps(r, half), _mm_sub_ps(r, one),
               select(_mm_cmplt_ps(r, minusHalf), _mm_add_ps(r, one), r));
    r = select(_mm_cmpgt_ps(r, quarter), _mm_sub_ps(half, r),
               select(_mm_cmplt_ps(r, minusQuarter), _mm_sub_ps(minusHalf, r), r));
    const __m128 z = _mm_mul_ps(r, _mm_set1_ps(kTwoPi));
    const __m128 z2 = _mm_mul_ps(z, z);
    __m128 p = _mm_mul_ps(z2, _mm_set1_ps(k11));
    p = _mm_mul_ps(z2, _mm_add_ps(_mm_set1_ps(k9), p));
    p = _mm_mul_ps(z2, _mm_add_ps(_mm_set1_ps(k7), p));
    p = _mm_mul_ps(z2, _mm_add_ps(_mm_set1_ps(k5), p));
    p = _mm_mul_ps(z2, _mm_add_ps(_mm_set1_ps(k3), p));
    return _mm_mul_ps(z, _mm_add_ps(one, p));
}
#endif

#if TVX_AVX2
// The ordered comparisons (false for NaN) of the scalar form.
TVX_TARGET_AVX2 inline __m256 sinCyclesLanes(__m256 x) {
    using namespace sine_terms;
    const __m256 one = _mm256_set1_ps(1.0f);
    const __m256 half = _mm256_set1_ps(0.5f), minusHalf = _mm256_set1_ps(-0.5f);
    const __m256 quarter = _mm256_set1_ps(0.25f), minusQuarter = _mm256_set1_ps(-0.25f);
    __m256 r = _mm256_sub_ps(x, _mm256_cvtepi32_ps(_mm256_cvttps_epi32(x)));
    r = _mm256_blendv_ps(_mm256_blendv_ps(r, _mm256_add_ps(r, one), _mm256_cmp_ps(r, minusHalf, _CMP_LT_OQ)),
                         _mm256_sub_ps(r, one), _mm256_cmp_ps(r, half, _CMP_GT_OQ));
    r = _mm256_blendv_ps(
        _mm256_blendv_ps(r, _mm256_sub_ps(minusHalf, r), _mm256_cmp_ps(r, minusQuarter, _CMP_LT_OQ)),
        _mm256_sub_ps(half, r), _mm256_cmp_ps(r, quarter, _CMP_GT_OQ));
    const __m256 z = _mm256_mul_ps(r, _mm256_set1_ps(kTwoPi));
    const __m256 z2 = _mm256_mul_ps(z, z);
    __m256 p = _mm256_mul_ps(z2, _mm256_set1_ps(k11));
    p = _mm256_mul_ps(z2, _mm256_add_ps(_mm256_set1_ps(k9), p));
    p = _mm256_mul_ps(z2, _mm256_add_ps(_mm256_set1_ps(k7), p));
    p = _mm256_mul_ps(z2, _mm256_add_ps(_mm256_set1_ps(k5), p));
    p = _mm256_mul_ps(z2, _mm256_add_ps(_mm256_set1_ps(k3), p));
    return _mm256_mul_ps(z, _mm256_add_ps(one, p));
}
#endif

}  // namespace tvx
