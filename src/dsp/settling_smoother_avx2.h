#pragma once

#include <cfloat>

#include "dsp/settling_smoother.h"
#include "dsp/simd.h"

#if TVX_AVX2
#include <immintrin.h>

namespace tvx {

// SettlingSmootherLanes for eight smoothers in one AVX2 register: the same
// operations lane by lane, so each smoother moves as it does alone.
struct SettlingSmootherEightLanes {
    __m256 value, a, oneMinusA, jump;
    __m256 before, jumped;

    // Loaded and stored as two SettlingSmootherLanes of four.
    TVX_TARGET_AVX2 void load(SettlingSmoother* const* smoothers) {
        const SettlingSmootherLanes lower(smoothers), upper(smoothers + 4);
        value = before = _mm256_set_m128(upper.value, lower.value);
        a = _mm256_set_m128(upper.a, lower.a);
        oneMinusA = _mm256_set_m128(upper.oneMinusA, lower.oneMinusA);
        jump = jumped = _mm256_set_m128(upper.jump, lower.jump);
    }

    TVX_TARGET_AVX2 __m256 update(__m256 target) {
        const __m256 magnitude = _mm256_castsi256_ps(_mm256_set1_epi32(0x7fffffff));
        before = value;
        jumped = jump;
        const __m256 moved = _mm256_add_ps(_mm256_mul_ps(a, value), _mm256_mul_ps(oneMinusA, target));
        value = _mm256_or_ps(_mm256_and_ps(jump, target), _mm256_andnot_ps(jump, moved));
        const __m256 tiny = _mm256_cmp_ps(_mm256_and_ps(value, magnitude), _mm256_set1_ps(1e-20f), _CMP_LT_OS);
        value = _mm256_andnot_ps(tiny, value);
        const __m256 finite = _mm256_cmp_ps(_mm256_and_ps(value, magnitude), _mm256_set1_ps(FLT_MAX), _CMP_LE_OS);
        value = _mm256_and_ps(value, finite);
        jump = _mm256_andnot_ps(finite, _mm256_castsi256_ps(_mm256_set1_epi32(-1)));
        return value;
    }

    TVX_TARGET_AVX2 void store(SettlingSmoother* const* smoothers, int n, __m256 lastTarget) const {
        half(0).store(smoothers, n < 4 ? n : 4, take(lastTarget, 0));
        if (n > 4) half(1).store(smoothers + 4, n - 4, take(lastTarget, 1));
    }

private:
    TVX_TARGET_AVX2 static __m128 take(__m256 v, int upper) {
        return upper ? _mm256_extractf128_ps(v, 1) : _mm256_castps256_ps128(v);
    }

    TVX_TARGET_AVX2 SettlingSmootherLanes half(int upper) const {
        SettlingSmootherLanes lanes;
        lanes.value = take(value, upper);
        lanes.a = take(a, upper);
        lanes.oneMinusA = take(oneMinusA, upper);
        lanes.jump = take(jump, upper);
        lanes.before = take(before, upper);
        lanes.jumped = take(jumped, upper);
        return lanes;
    }
};

}  // namespace tvx

#endif
