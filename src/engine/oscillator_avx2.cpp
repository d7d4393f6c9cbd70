// The eight unison copies of a "Wave" oscillator in one AVX2 register, for
// processors that have it. Every lane does what the SSE2 form does for its
// copy, in the same order, so both give the same sound bit for bit.
#include "engine/oscillator.h"

#include "dsp/simd.h"

#if TVX_AVX2
#include <immintrin.h>
#endif

namespace tvx {

#if TVX_AVX2
namespace {

TVX_TARGET_AVX2 inline __m128 pairAt(const float* p) {
    return _mm_castsi128_ps(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)));
}

// Samples at[l] and at[l] + 1 of eight cycles interpolated by frac: copies
// 0..3 in the lower half, 4..7 in the upper one.
TVX_TARGET_AVX2 inline __m256 interpolate8(const float* const* cycles, const int* at, __m256 frac) {
    const __m128 pairs01 = _mm_movelh_ps(pairAt(cycles[0] + at[0]), pairAt(cycles[1] + at[1]));
    const __m128 pairs23 = _mm_movelh_ps(pairAt(cycles[2] + at[2]), pairAt(cycles[3] + at[3]));
    const __m128 pairs45 = _mm_movelh_ps(pairAt(cycles[4] + at[4]), pairAt(cycles[5] + at[5]));
    const __m128 pairs67 = _mm_movelh_ps(pairAt(cycles[6] + at[6]), pairAt(cycles[7] + at[7]));
    const __m256 first = _mm256_insertf128_ps(_mm256_castps128_ps256(pairs01), pairs45, 1);
    const __m256 second = _mm256_insertf128_ps(_mm256_castps128_ps256(pairs23), pairs67, 1);
    const __m256 lower = _mm256_shuffle_ps(first, second, _MM_SHUFFLE(2, 0, 2, 0));
    const __m256 upper = _mm256_shuffle_ps(first, second, _MM_SHUFFLE(3, 1, 3, 1));
    return _mm256_add_ps(lower, _mm256_mul_ps(_mm256_sub_ps(upper, lower), frac));
}

// Copy l plus copy l + 4, as the SSE2 form adds its two groups.
TVX_TARGET_AVX2 inline __m128 foldHalves(__m256 v) {
    return _mm_add_ps(_mm256_castps256_ps128(v), _mm256_extractf128_ps(v, 1));
}

}  // namespace

TVX_TARGET_AVX2 void Oscillator::sumEightCopiesSpan(const WaveFrames& frames, int rowA, int rowB, bool blend,
                                                    float (*termsLeft)[4], float (*termsRight)[4], int count) {
    const __m256 one = _mm256_set1_ps(1.0f);
    const __m256 length = _mm256_set1_ps(static_cast<float>(uniformLength_));
    const __m256i mask = _mm256_set1_epi32(uniformLength_ - 1);
    const __m256 pan = _mm256_loadu_ps(kUnisonPan);
    const __m256 live = _mm256_loadu_ps(lanes_.live);
    const __m256 step = _mm256_loadu_ps(lanes_.step);
    const float* const* cyclesA = lanes_.samples[rowA];
    const float* const* cyclesB = lanes_.samples[rowB];
    __m256 phase = _mm256_loadu_ps(lanes_.phase);
    for (int i = 0; i < count; ++i) {
        const __m256 x = _mm256_mul_ps(phase, length);
        const __m256i index = _mm256_cvttps_epi32(x);
        const __m256 frac = _mm256_sub_ps(x, _mm256_cvtepi32_ps(index));
        // Unaligned: the Windows compilers do not align the stack for AVX.
        int at[8];
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(at), _mm256_and_si256(index, mask));
        __m256 v = interpolate8(cyclesA, at, frac);
        if (blend) {
            const __m256 vb = interpolate8(cyclesB, at, frac);
            v = _mm256_add_ps(v, _mm256_mul_ps(_mm256_set1_ps(frames.weight[i]), _mm256_sub_ps(vb, v)));
        }
        const __m256 side = _mm256_mul_ps(_mm256_set1_ps(frames.spread[i]), pan);
        const __m256 termL = _mm256_mul_ps(v, _mm256_mul_ps(_mm256_add_ps(one, side), live));
        const __m256 termR = _mm256_mul_ps(v, _mm256_mul_ps(_mm256_sub_ps(one, side), live));
        _mm_store_ps(termsLeft[i], foldHalves(termL));
        _mm_store_ps(termsRight[i], foldHalves(termR));
        const __m256 advanced = _mm256_add_ps(phase, step);
        phase = _mm256_sub_ps(advanced, _mm256_and_ps(_mm256_cmp_ps(advanced, one, _CMP_GE_OQ), one));
    }
    _mm256_storeu_ps(lanes_.phase, phase);
}

#else

void Oscillator::sumEightCopiesSpan(const WaveFrames&, int, int, bool, float (*)[4], float (*)[4], int) {}

#endif

}  // namespace tvx
