// The chunked "FM" path. Nothing of the chain's output is carried from one
// sample to the next: only the operators' phases and the smoothed indices
// are, and those are worked out for the whole chunk first. The sines of four
// samples then go side by side, or eight with AVX2. It gives what the
// per-sample path (fmSample) gives, bit for bit.
#include "engine/oscillator.h"
#include "engine/oscillator_fm_lanes.h"
#include "engine/oscillator_reads.h"

#include "dsp/simd.h"

#if TVX_AVX2
#include <immintrin.h>
#endif

namespace tvx {

#if TVX_SSE2

using namespace oscillator_reads;

namespace {

// What every sample of a chunk takes into the chain.
struct FmFrames {
    alignas(16) float carrier[Oscillator::kChunk];
    alignas(16) float phase1[Oscillator::kChunk];
    alignas(16) float phase2[Oscillator::kChunk];
    alignas(16) float index1[Oscillator::kChunk];
    alignas(16) float index2[Oscillator::kChunk];
};

// The phase at each sample; returns the phase after the last.
float phasesOf(float phase, float increment, float* out, int count) {
    for (int i = 0; i < count; ++i) {
        out[i] = phase;
        advance(phase, increment);
    }
    return phase;
}

// Samples from..count, four at a time, added to left and right with the gains
// of renderSounds; returns the first sample not done.
int fourAtATime(const FmFrames& frames, const Oscillator::Smoothed& smoothed, float* left, float* right, int from,
                int count) {
    const __m128 one = _mm_set1_ps(1.0f);
    int i = from;
    for (; i + 4 <= count; i += 4) {
        const __m128 carrier = fm_lanes::chain(_mm_loadu_ps(frames.carrier + i), _mm_loadu_ps(frames.phase1 + i),
                                               _mm_loadu_ps(frames.phase2 + i), _mm_loadu_ps(frames.index1 + i),
                                               _mm_loadu_ps(frames.index2 + i));
        const __m128 volume = _mm_loadu_ps(smoothed.volume + i), pan = _mm_loadu_ps(smoothed.pan + i);
        const __m128 gainLeft = _mm_mul_ps(volume, _mm_sub_ps(one, pan));
        const __m128 gainRight = _mm_mul_ps(volume, pan);
        _mm_storeu_ps(left + i, _mm_add_ps(_mm_loadu_ps(left + i), _mm_mul_ps(gainLeft, carrier)));
        _mm_storeu_ps(right + i, _mm_add_ps(_mm_loadu_ps(right + i), _mm_mul_ps(gainRight, carrier)));
    }
    return i;
}

#if TVX_AVX2
// fourAtATime for eight samples at a time, from sample 0.
TVX_TARGET_AVX2 int eightAtATime(const FmFrames& frames, const Oscillator::Smoothed& smoothed, float* left,
                                 float* right, int count) {
    const __m256 one = _mm256_set1_ps(1.0f);
    int i = 0;
    // Unaligned: the Windows compilers do not align the stack for AVX.
    for (; i + 8 <= count; i += 8) {
        const __m256 carrier = fm_lanes::chain(
            _mm256_loadu_ps(frames.carrier + i), _mm256_loadu_ps(frames.phase1 + i),
            _mm256_loadu_ps(frames.phase2 + i), _mm256_loadu_ps(frames.index1 + i), _mm256_loadu_ps(frames.index2 + i));
        const __m256 volume = _mm256_loadu_ps(smoothed.volume + i), pan = _mm256_loadu_ps(smoothed.pan + i);
        const __m256 gainLeft = _mm256_mul_ps(volume, _mm256_sub_ps(one, pan));
        const __m256 gainRight = _mm256_mul_ps(volume, pan);
        _mm256_storeu_ps(left + i, _mm256_add_ps(_mm256_loadu_ps(left + i), _mm256_mul_ps(gainLeft, carrier)));
        _mm256_storeu_ps(right + i, _mm256_add_ps(_mm256_loadu_ps(right + i), _mm256_mul_ps(gainRight, carrier)));
    }
    return i;
}
#endif

}  // namespace

void Oscillator::renderFm(const Smoothed& smoothed, float* left, float* right, int count) {
    count = count < kChunk ? count : kChunk;
    FmFrames frames;
    // The smoothers run apart from the phases, so each may take its stretch at once.
    index1_.fill(indexTarget1_, frames.index1, count);
    index2_.fill(indexTarget2_, frames.index2, count);
    main_.phase = phasesOf(main_.phase, main_.increment, frames.carrier, count);
    modPhase1_ = phasesOf(modPhase1_, modIncrement1_, frames.phase1, count);
    modPhase2_ = phasesOf(modPhase2_, modIncrement2_, frames.phase2, count);

    int i = 0;
#if TVX_AVX2
    if (useAvx2_) i = eightAtATime(frames, smoothed, left, right, count);
#endif
    i = fourAtATime(frames, smoothed, left, right, i, count);
    for (; i < count; ++i) {
        const float carrier =
            fm_lanes::chain(frames.carrier[i], frames.phase1[i], frames.phase2[i], frames.index1[i], frames.index2[i]);
        left[i] += smoothed.volume[i] * (1.0f - smoothed.pan[i]) * carrier;
        right[i] += smoothed.volume[i] * smoothed.pan[i] * carrier;
    }
}

#endif

}  // namespace tvx
