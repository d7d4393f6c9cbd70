// The chunked "FM" path. Nothing of the chain's output is carried from one
// sample to the next: only the operators' phases and the smoothed indices
// are, and those are worked out for the whole chunk first. The sines of four
// samples then go side by side, or eight with AVX2. It gives what the
// per-sample path (fmSample) gives, bit for bit.
#include "engine/oscillator.h"
#include "engine/oscillator_fm_lanes.h"

#include "dsp/simd.h"

#if TVX_AVX2
#include <immintrin.h>
#endif

namespace tvx {

#if TVX_SSE2

namespace {

// Room for the last group of lanes past the end of a chunk.
constexpr int kFramesLength = (Oscillator::kChunk + 7) / 8 * 8;

// What every sample of a chunk takes into the chain; past the chunk's end,
// zeros, so that the lanes of a group cut short compute harmless values.
struct FmFrames {
    alignas(16) float carrier[kFramesLength];
    alignas(16) float phase1[kFramesLength];
    alignas(16) float phase2[kFramesLength];
    alignas(16) float index1[kFramesLength];
    alignas(16) float index2[kFramesLength];

    void zeroFrom(int from, int to) {
        for (int i = from; i < to; ++i) carrier[i] = phase1[i] = phase2[i] = index1[i] = index2[i] = 0.0f;
    }
};

// advance(), with the wrap out of the way of the loop.
inline void advanceRarelyWrapping(float& phase, float increment) {
    phase += increment;
#if defined(__GNUC__)
    if (__builtin_expect(phase >= 1.0f, 0)) phase -= 1.0f;
#else
    if (phase >= 1.0f) phase -= 1.0f;
#endif
}

// The gains of renderSounds for the first n samples of a group cut short.
void addShortGroup(const float* carrier, const Oscillator::Smoothed& smoothed, float* left, float* right, int at,
                   int n) {
    for (int k = 0; k < n; ++k) {
        left[at + k] += smoothed.volume[at + k] * (1.0f - smoothed.pan[at + k]) * carrier[k];
        right[at + k] += smoothed.volume[at + k] * smoothed.pan[at + k] * carrier[k];
    }
}

// The chain for four samples at a time, added to left and right with the
// gains of renderSounds.
void fourAtATime(const FmFrames& frames, const Oscillator::Smoothed& smoothed, float* left, float* right,
                 int count) {
    const __m128 one = _mm_set1_ps(1.0f);
    for (int i = 0; i < count; i += 4) {
        const __m128 carrier = fm_lanes::chain(_mm_load_ps(frames.carrier + i), _mm_load_ps(frames.phase1 + i),
                                               _mm_load_ps(frames.phase2 + i), _mm_load_ps(frames.index1 + i),
                                               _mm_load_ps(frames.index2 + i));
        if (count - i < 4) {
            alignas(16) float values[4];
            _mm_store_ps(values, carrier);
            addShortGroup(values, smoothed, left, right, i, count - i);
            break;
        }
        const __m128 volume = _mm_load_ps(smoothed.volume + i), pan = _mm_load_ps(smoothed.pan + i);
        const __m128 gainLeft = _mm_mul_ps(volume, _mm_sub_ps(one, pan));
        const __m128 gainRight = _mm_mul_ps(volume, pan);
        _mm_storeu_ps(left + i, _mm_add_ps(_mm_loadu_ps(left + i), _mm_mul_ps(gainLeft, carrier)));
        _mm_storeu_ps(right + i, _mm_add_ps(_mm_loadu_ps(right + i), _mm_mul_ps(gainRight, carrier)));
    }
}

#if TVX_AVX2
// fourAtATime for eight samples at a time.
TVX_TARGET_AVX2 void eightAtATime(const FmFrames& frames, const Oscillator::Smoothed& smoothed, float* left,
                                  float* right, int count) {
    const __m256 one = _mm256_set1_ps(1.0f);
    // Unaligned: the Windows compilers do not align the stack for AVX.
    for (int i = 0; i < count; i += 8) {
        const __m256 carrier = fm_lanes::chain(
            _mm256_loadu_ps(frames.carrier + i), _mm256_loadu_ps(frames.phase1 + i),
            _mm256_loadu_ps(frames.phase2 + i), _mm256_loadu_ps(frames.index1 + i), _mm256_loadu_ps(frames.index2 + i));
        if (count - i < 8) {
            float values[8];
            _mm256_storeu_ps(values, carrier);
            addShortGroup(values, smoothed, left, right, i, count - i);
            break;
        }
        const __m256 volume = _mm256_loadu_ps(smoothed.volume + i), pan = _mm256_loadu_ps(smoothed.pan + i);
        const __m256 gainLeft = _mm256_mul_ps(volume, _mm256_sub_ps(one, pan));
        const __m256 gainRight = _mm256_mul_ps(volume, pan);
        _mm256_storeu_ps(left + i, _mm256_add_ps(_mm256_loadu_ps(left + i), _mm256_mul_ps(gainLeft, carrier)));
        _mm256_storeu_ps(right + i, _mm256_add_ps(_mm256_loadu_ps(right + i), _mm256_mul_ps(gainRight, carrier)));
    }
}
#endif

}  // namespace

void Oscillator::renderFm(const Smoothed& smoothed, float* left, float* right, int count) {
    count = count < kChunk ? count : kChunk;
    FmFrames frames;
    // The smoothers run apart from the phases, so each may take its stretch at once.
    index1_.fill(indexTarget1_, frames.index1, count);
    index2_.fill(indexTarget2_, frames.index2, count);
    // The three phases in one loop: their chains of additions overlap.
    float carrier = main_.phase, phase1 = modPhase1_, phase2 = modPhase2_;
    for (int i = 0; i < count; ++i) {
        frames.carrier[i] = carrier;
        frames.phase1[i] = phase1;
        frames.phase2[i] = phase2;
        advanceRarelyWrapping(carrier, main_.increment);
        advanceRarelyWrapping(phase1, modIncrement1_);
        advanceRarelyWrapping(phase2, modIncrement2_);
    }
    main_.phase = carrier;
    modPhase1_ = phase1;
    modPhase2_ = phase2;
    frames.zeroFrom(count, (count + 7) / 8 * 8);

#if TVX_AVX2
    if (useAvx2_) {
        eightAtATime(frames, smoothed, left, right, count);
        return;
    }
#endif
    fourAtATime(frames, smoothed, left, right, count);
}

#endif

}  // namespace tvx
