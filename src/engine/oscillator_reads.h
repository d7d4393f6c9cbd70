#pragma once

// The table reads and phase steps that the per-sample and the chunked
// "Wave" paths share; kept in one place so both stay bit for bit alike.
#include "engine/oscillator.h"

#include "dsp/simd.h"

namespace tvx {

namespace oscillator_reads {

inline void advance(float& phase, float increment) {
    phase += increment;
    if (phase >= 1.0f) phase -= 1.0f;
}

// Rows of different lengths (tables of another rate): never the case within
// one collection, so kept out of the rendering loops.
#if defined(__GNUC__)
__attribute__((noinline))
#endif
inline float blendRowsOfOtherLengths(const WtLevel& levelA, const WtLevel& levelB, float weight, float phase) {
    return WtCollection::read(levelA, phase) +
           weight * (WtCollection::read(levelB, phase) - WtCollection::read(levelA, phase));
}

#if TVX_SSE2
// Samples at[l] and at[l] + 1 of four cycles, each pair in one load (the
// cycles carry a copy of sample 0 past their end), interpolated by frac.
inline __m128 interpolate(const float* const* cycles, const int* at, __m128 frac) {
    auto pairAt = [](const float* p) { return _mm_castsi128_ps(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p))); };
    const __m128 pairs01 = _mm_movelh_ps(pairAt(cycles[0] + at[0]), pairAt(cycles[1] + at[1]));
    const __m128 pairs23 = _mm_movelh_ps(pairAt(cycles[2] + at[2]), pairAt(cycles[3] + at[3]));
    const __m128 lower = _mm_shuffle_ps(pairs01, pairs23, _MM_SHUFFLE(2, 0, 2, 0));
    const __m128 upper = _mm_shuffle_ps(pairs01, pairs23, _MM_SHUFFLE(3, 1, 3, 1));
    return _mm_add_ps(lower, _mm_mul_ps(_mm_sub_ps(upper, lower), frac));
}

// Four phases read from four cycles of row A, and blended towards row B by
// weight when blend: the operations of blendRows and WtCollection::read.
inline __m128 readCycles(const float* const* cyclesA, const float* const* cyclesB, __m128 phase, __m128 length,
                         __m128i mask, bool blend, __m128 weight) {
    const __m128 x = _mm_mul_ps(phase, length);
    const __m128i index = _mm_cvttps_epi32(x);
    const __m128 frac = _mm_sub_ps(x, _mm_cvtepi32_ps(index));
    alignas(16) int at[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(at), _mm_and_si128(index, mask));
    const __m128 a = interpolate(cyclesA, at, frac);
    if (!blend) return a;
    return _mm_add_ps(a, _mm_mul_ps(weight, _mm_sub_ps(interpolate(cyclesB, at, frac), a)));
}
#endif

}  // namespace oscillator_reads

inline float Oscillator::blendRows(const WtLevel& levelA, const WtLevel& levelB, float weight, float phase) {
    if (levelA.length != levelB.length) return oscillator_reads::blendRowsOfOtherLengths(levelA, levelB, weight, phase);
    // Rows built at one rate share their length: one index for both reads.
    const float x = phase * static_cast<float>(levelA.length);
    const int i = static_cast<int>(x);
    const float frac = x - static_cast<float>(i);
    const int mask = levelA.length - 1;
    const int j = (i + 1) & mask;
    const float a = levelA.samples[i & mask] + (levelA.samples[j] - levelA.samples[i & mask]) * frac;
    const float b = levelB.samples[i & mask] + (levelB.samples[j] - levelB.samples[i & mask]) * frac;
    return a + weight * (b - a);
}

}  // namespace tvx
