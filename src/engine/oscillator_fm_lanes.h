#pragma once

// The three-operator chain of "FM" for one sample, and for four (SSE2) or
// eight (AVX2) samples side by side with the operations of the one-sample
// form in each lane: all forms give the same sound bit for bit.
#include "engine/fast_trig.h"
#include "engine/fast_trig_lanes.h"

#include "dsp/simd.h"

namespace tvx {

namespace fm_lanes {

// Modulator 2 drives modulator 1, which drives the carrier; the phase
// offsets are in cycles (y * index * 2 pi radians).
inline float chain(float carrierPhase, float phase1, float phase2, float index1, float index2) {
    const float y2 = sinCycles(phase2);
    const float y1 = sinCycles(phase1 + y2 * index2);
    return sinCycles(carrierPhase + y1 * index1);
}

#if TVX_SSE2
inline __m128 chain(__m128 carrierPhase, __m128 phase1, __m128 phase2, __m128 index1, __m128 index2) {
    const __m128 y2 = sinCyclesLanes(phase2);
    const __m128 y1 = sinCyclesLanes(_mm_add_ps(phase1, _mm_mul_ps(y2, index2)));
    return sinCyclesLanes(_mm_add_ps(carrierPhase, _mm_mul_ps(y1, index1)));
}
#endif

#if TVX_AVX2
TVX_TARGET_AVX2 inline __m256 chain(__m256 carrierPhase, __m256 phase1, __m256 phase2, __m256 index1,
                                    __m256 index2) {
    const __m256 y2 = sinCyclesLanes(phase2);
    const __m256 y1 = sinCyclesLanes(_mm256_add_ps(phase1, _mm256_mul_ps(y2, index2)));
    return sinCyclesLanes(_mm256_add_ps(carrierPhase, _mm256_mul_ps(y1, index1)));
}
#endif

}  // namespace fm_lanes

}  // namespace tvx
