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

    TVX_TARGET_AVX2 void load(SettlingSmoother* const* smoothers) {
        float v[8], coefficient[8], rest[8];
        int jumps[8];
        for (int k = 0; k < 8; ++k) {
            v[k] = smoothers[k]->smoother.value;
            coefficient[k] = smoothers[k]->smoother.a;
            rest[k] = smoothers[k]->smoother.oneMinusA;
            jumps[k] = smoothers[k]->smoother.jump ? -1 : 0;
        }
        value = before = _mm256_loadu_ps(v);
        a = _mm256_loadu_ps(coefficient);
        oneMinusA = _mm256_loadu_ps(rest);
        jump = jumped = _mm256_castsi256_ps(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(jumps)));
    }

    TVX_TARGET_AVX2 __m256 update(__m256 target) {
        const __m256 magnitude = _mm256_castsi256_ps(_mm256_set1_epi32(0x7fffffff));
        before = value;
        jumped = jump;
        const __m256 moved = _mm256_add_ps(_mm256_mul_ps(a, value), _mm256_mul_ps(oneMinusA, target));
        value = _mm256_or_ps(_mm256_and_ps(jump, target), _mm256_andnot_ps(jump, moved));
        value = _mm256_andnot_ps(_mm256_cmp_ps(_mm256_and_ps(value, magnitude), _mm256_set1_ps(1e-20f), _CMP_LT_OS), value);
        const __m256 finite = _mm256_cmp_ps(_mm256_and_ps(value, magnitude), _mm256_set1_ps(FLT_MAX), _CMP_LE_OS);
        value = _mm256_and_ps(value, finite);
        jump = _mm256_andnot_ps(finite, _mm256_castsi256_ps(_mm256_set1_epi32(-1)));
        return value;
    }

    TVX_TARGET_AVX2 void store(SettlingSmoother* const* smoothers, int n, __m256 lastTarget) const {
        float v[8], targets[8];
        _mm256_storeu_ps(v, value);
        _mm256_storeu_ps(targets, lastTarget);
        const int settledBits =
            _mm256_movemask_ps(_mm256_andnot_ps(jumped, _mm256_cmp_ps(value, before, _CMP_EQ_OQ)));
        const int jumpBits = _mm256_movemask_ps(jump);
        for (int k = 0; k < n; ++k) {
            SettlingSmoother& s = *smoothers[k];
            s.smoother.value = v[k];
            s.smoother.jump = (jumpBits >> k) & 1;
            s.settled = (settledBits >> k) & 1;
            s.lastTarget = targets[k];
        }
    }
};

}  // namespace tvx

#endif
