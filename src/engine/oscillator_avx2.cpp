// The eight unison copies of a "Wave" oscillator in one AVX2 register, for
// processors that have it, read from the tables' interleaved row pairs.
// Every lane does what the SSE2 form does for its copy, in the same order,
// so both give the same sound bit for bit.
#include "engine/oscillator.h"
#include "engine/oscillator_reads.h"

#include "dsp/simd.h"

#include <cstddef>

#if TVX_AVX2
#include <immintrin.h>
#endif

namespace tvx {

#if TVX_AVX2
namespace {

// Both rows' samples at[l] and at[l] + 1 of copy l's row pair, as four
// registers of eight copies (0..3 in the lower half, 4..7 in the upper):
// one 16-byte load per copy, then a transpose within each half.
struct PairSamples {
    __m256 lowerA, upperA, lowerB, upperB;
};

// kOneTable: every copy reads the same level, so one pointer serves all.
template <bool kOneTable>
TVX_TARGET_AVX2 inline __m256 twoCopies(const float* const* pairs, const int* at, int copy) {
    // Masked indices are never negative: widened as unsigned, they need no sign extension.
    auto pairAt = [pairs, at](int k) {
        return pairs[kOneTable ? 0 : k] + 2 * std::size_t{static_cast<unsigned>(at[k])};
    };
    const __m128 low = _mm_loadu_ps(pairAt(copy));
    const __m128 high = _mm_loadu_ps(pairAt(copy + 4));
    return _mm256_insertf128_ps(_mm256_castps128_ps256(low), high, 1);
}

// at: the sample indices; a pair holds two floats per sample.
template <bool kOneTable>
TVX_TARGET_AVX2 inline PairSamples readPairs(const float* const* pairs, const int* at) {
    const __m256 c0 = twoCopies<kOneTable>(pairs, at, 0), c1 = twoCopies<kOneTable>(pairs, at, 1);
    const __m256 c2 = twoCopies<kOneTable>(pairs, at, 2), c3 = twoCopies<kOneTable>(pairs, at, 3);
    // Per half: c = [a(i) b(i) a(i+1) b(i+1)] of one copy.
    const __m256 now01 = _mm256_unpacklo_ps(c0, c1), next01 = _mm256_unpackhi_ps(c0, c1);
    const __m256 now23 = _mm256_unpacklo_ps(c2, c3), next23 = _mm256_unpackhi_ps(c2, c3);
    return {_mm256_shuffle_ps(now01, now23, _MM_SHUFFLE(1, 0, 1, 0)),
            _mm256_shuffle_ps(next01, next23, _MM_SHUFFLE(1, 0, 1, 0)),
            _mm256_shuffle_ps(now01, now23, _MM_SHUFFLE(3, 2, 3, 2)),
            _mm256_shuffle_ps(next01, next23, _MM_SHUFFLE(3, 2, 3, 2))};
}

TVX_TARGET_AVX2 inline __m256 interpolate(__m256 lower, __m256 upper, __m256 frac) {
    return _mm256_add_ps(lower, _mm256_mul_ps(_mm256_sub_ps(upper, lower), frac));
}

// Copy l plus copy l + 4, as the SSE2 form adds its two groups.
TVX_TARGET_AVX2 inline __m128 foldHalves(__m256 v) {
    return _mm_add_ps(_mm256_castps256_ps128(v), _mm256_extractf128_ps(v, 1));
}

// What a span of the eight copies reads and where it leaves its results.
struct EightCopiesSpan {
    const float* pairs[Oscillator::kMaxUnison];
    const float* weight;
    const float* spread;
    const float* live;
    const float* step;
    float* phase;   // the copies', stepped
    float length;
    int mask;
    float* mainPhase;   // the main copy's, stepped
    float mainIncrement;
    float* mainPhases;
    float (*termsLeft)[4];
    float (*termsRight)[4];
    int count;
};

// The copies' stereo gains at a spread.
struct CopyGains {
    __m256 left, right;
};

TVX_TARGET_AVX2 inline CopyGains copyGains(float spread, __m256 pan, __m256 live) {
    const __m256 one = _mm256_set1_ps(1.0f);
    const __m256 side = _mm256_mul_ps(_mm256_set1_ps(spread), pan);
    return {_mm256_mul_ps(_mm256_add_ps(one, side), live), _mm256_mul_ps(_mm256_sub_ps(one, side), live)};
}

// kOneTable: every copy reads the same level, so one pointer serves all.
// kBlend: the rows are blended. kSpreadRests: the spread is the same at
// every sample, so the gains are worked out once.
template <bool kOneTable, bool kBlend, bool kSpreadRests>
TVX_TARGET_AVX2 void sumEightCopies(const EightCopiesSpan& span) {
    const __m256 one = _mm256_set1_ps(1.0f);
    const __m256 length = _mm256_set1_ps(span.length);
    const __m256i mask = _mm256_set1_epi32(span.mask);
    const __m256 pan = _mm256_loadu_ps(Oscillator::kUnisonPan);
    const __m256 live = _mm256_loadu_ps(span.live);
    const __m256 step = _mm256_loadu_ps(span.step);
    __m256 phase = _mm256_loadu_ps(span.phase);
    float mainPhase = *span.mainPhase;
    float gainSpread = span.spread[0];
    CopyGains gains = copyGains(gainSpread, pan, live);
    for (int i = 0; i < span.count; ++i) {
        span.mainPhases[i] = mainPhase;
        oscillator_reads::advance(mainPhase, span.mainIncrement);
        const __m256 x = _mm256_mul_ps(phase, length);
        const __m256i index = _mm256_cvttps_epi32(x);
        const __m256 frac = _mm256_sub_ps(x, _mm256_cvtepi32_ps(index));
        // Unaligned: the Windows compilers do not align the stack for AVX.
        int at[8];
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(at), _mm256_and_si256(index, mask));
        // Read back from memory: one load per copy, where taking the
        // indices out of the register costs two instructions each.
        __asm__("" : "+m"(at));
        const PairSamples s = readPairs<kOneTable>(span.pairs, at);
        __m256 v = interpolate(s.lowerA, s.upperA, frac);
        if (kBlend) {
            const __m256 vb = interpolate(s.lowerB, s.upperB, frac);
            v = _mm256_add_ps(v, _mm256_mul_ps(_mm256_set1_ps(span.weight[i]), _mm256_sub_ps(vb, v)));
        }
        if (!kSpreadRests && !(span.spread[i] == gainSpread)) {
            gainSpread = span.spread[i];
            gains = copyGains(gainSpread, pan, live);
        }
        _mm_store_ps(span.termsLeft[i], foldHalves(_mm256_mul_ps(v, gains.left)));
        _mm_store_ps(span.termsRight[i], foldHalves(_mm256_mul_ps(v, gains.right)));
        const __m256 advanced = _mm256_add_ps(phase, step);
        phase = _mm256_sub_ps(advanced, _mm256_and_ps(_mm256_cmp_ps(advanced, one, _CMP_GE_OQ), one));
    }
    _mm256_storeu_ps(span.phase, phase);
    *span.mainPhase = mainPhase;
}

// Whether every sample of the span has the first one's spread (NaN never has).
TVX_TARGET_AVX2 inline bool spreadRests(const float* spread, int count) {
    const __m256 first = _mm256_set1_ps(spread[0]);
    int same = 0xFF;
    int i = 0;
    for (; i + 8 <= count; i += 8)
        same &= _mm256_movemask_ps(_mm256_cmp_ps(_mm256_loadu_ps(spread + i), first, _CMP_EQ_OQ));
    for (; i < count; ++i)
        if (!(spread[i] == spread[0])) same = 0;
    return same == 0xFF;
}

template <bool kOneTable, bool kBlend>
TVX_TARGET_AVX2 void sumEightCopiesOf(const EightCopiesSpan& span) {
    if (spreadRests(span.spread, span.count))
        sumEightCopies<kOneTable, kBlend, true>(span);
    else
        sumEightCopies<kOneTable, kBlend, false>(span);
}

}  // namespace

TVX_TARGET_AVX2 void Oscillator::sumEightCopiesSpan(const WaveFrames& frames, int rowA, bool blend,
                                                    float* mainPhases, float (*termsLeft)[4],
                                                    float (*termsRight)[4], int count) {
    EightCopiesSpan span;
    bool oneTable = true;
    for (int k = 0; k < kMaxUnison; ++k) {
        span.pairs[k] = lanes_.pairs[rowA][k];
        oneTable = oneTable && span.pairs[k] == span.pairs[0];
    }
    span.weight = frames.weight;
    span.spread = frames.spread;
    span.live = lanes_.live;
    span.step = lanes_.step;
    span.phase = lanes_.phase;
    span.length = static_cast<float>(uniformLength_);
    span.mask = uniformLength_ - 1;
    span.mainPhase = &main_.phase;
    span.mainIncrement = main_.increment;
    span.mainPhases = mainPhases;
    span.termsLeft = termsLeft;
    span.termsRight = termsRight;
    span.count = count;
    if (oneTable && blend)
        sumEightCopiesOf<true, true>(span);
    else if (oneTable)
        sumEightCopiesOf<true, false>(span);
    else if (blend)
        sumEightCopiesOf<false, true>(span);
    else
        sumEightCopiesOf<false, false>(span);
}

TVX_TARGET_AVX2 int Oscillator::readMainEightAtATime(const float* weights, const float* phases, int rowA, bool blend,
                                                     float* out, int count) {
    const __m256 length = _mm256_set1_ps(static_cast<float>(uniformLength_));
    const __m256i mask = _mm256_set1_epi32(uniformLength_ - 1);
    const float* pair = main_.pairs[rowA];
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m256 x = _mm256_mul_ps(_mm256_loadu_ps(phases + i), length);
        const __m256i index = _mm256_cvttps_epi32(x);
        const __m256 frac = _mm256_sub_ps(x, _mm256_cvtepi32_ps(index));
        int at[8];
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(at), _mm256_and_si256(index, mask));
        __asm__("" : "+m"(at));
        // Samples i..i + 7 take the places of copies 0..7.
        const PairSamples s = readPairs<true>(&pair, at);
        __m256 v = interpolate(s.lowerA, s.upperA, frac);
        if (blend) {
            const __m256 vb = interpolate(s.lowerB, s.upperB, frac);
            v = _mm256_add_ps(v, _mm256_mul_ps(_mm256_loadu_ps(weights + i), _mm256_sub_ps(vb, v)));
        }
        _mm256_storeu_ps(out + i, v);
    }
    return i;
}

namespace {

// The copies' sums of eight samples, lane by lane (samples 0..3 in the lower
// half, 4..7 in the upper): each lane adds its terms in the order of one
// sample's horizontal sum, as the SSE2 transpose does.
TVX_TARGET_AVX2 inline __m256 samplesAndFourOn(float (*terms)[4], int k) {
    return _mm256_insertf128_ps(_mm256_castps128_ps256(_mm_load_ps(terms[k])), _mm_load_ps(terms[k + 4]), 1);
}

TVX_TARGET_AVX2 inline __m256 sumsOfEightSamples(float (*terms)[4]) {
    const __m256 t0 = samplesAndFourOn(terms, 0), t1 = samplesAndFourOn(terms, 1);
    const __m256 t2 = samplesAndFourOn(terms, 2), t3 = samplesAndFourOn(terms, 3);
    const __m256 low01 = _mm256_unpacklo_ps(t0, t1), low23 = _mm256_unpacklo_ps(t2, t3);
    const __m256 high01 = _mm256_unpackhi_ps(t0, t1), high23 = _mm256_unpackhi_ps(t2, t3);
    const __m256 copy0 = _mm256_shuffle_ps(low01, low23, _MM_SHUFFLE(1, 0, 1, 0));
    const __m256 copy1 = _mm256_shuffle_ps(low01, low23, _MM_SHUFFLE(3, 2, 3, 2));
    const __m256 copy2 = _mm256_shuffle_ps(high01, high23, _MM_SHUFFLE(1, 0, 1, 0));
    const __m256 copy3 = _mm256_shuffle_ps(high01, high23, _MM_SHUFFLE(3, 2, 3, 2));
    return _mm256_add_ps(_mm256_add_ps(copy0, copy2), _mm256_add_ps(copy1, copy3));
}

}  // namespace

TVX_TARGET_AVX2 int Oscillator::finishEightAtATime(const WaveFrames& frames, const float* mainSamples,
                                                   float (*termsLeft)[4], float (*termsRight)[4], float* left,
                                                   float* right, int count) const {
    const bool odd = (unisonCount_ & 1) != 0;
    const __m256 pan = _mm256_set1_ps(odd ? kUnisonPan[unisonCount_] : 0.0f);
    const __m256 one = _mm256_set1_ps(1.0f);
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m256 sumL = sumsOfEightSamples(termsLeft + i), sumR = sumsOfEightSamples(termsRight + i);
        const __m256 mix = _mm256_loadu_ps(frames.mix + i);
        const __m256 spread = _mm256_loadu_ps(frames.spread + i);
        const __m256 balance =
            odd ? _mm256_mul_ps(_mm256_mul_ps(_mm256_mul_ps(mix, mix), spread), pan) : _mm256_setzero_ps();
        const __m256 main = _mm256_loadu_ps(mainSamples + i);
        const __m256 l = _mm256_add_ps(_mm256_mul_ps(mix, sumL), _mm256_mul_ps(_mm256_add_ps(one, balance), main));
        const __m256 r = _mm256_add_ps(_mm256_mul_ps(mix, sumR), _mm256_mul_ps(_mm256_sub_ps(one, balance), main));
        const __m256 gainL = _mm256_loadu_ps(frames.gainLeft + i);
        const __m256 gainR = _mm256_loadu_ps(frames.gainRight + i);
        _mm256_storeu_ps(left + i, _mm256_add_ps(_mm256_loadu_ps(left + i), _mm256_mul_ps(gainL, l)));
        _mm256_storeu_ps(right + i, _mm256_add_ps(_mm256_loadu_ps(right + i), _mm256_mul_ps(gainR, r)));
    }
    return i;
}

#else

int Oscillator::finishEightAtATime(const WaveFrames&, const float*, float (*)[4], float (*)[4], float*, float*,
                                   int) const {
    return 0;
}

int Oscillator::readMainEightAtATime(const float*, const float*, int, bool, float*, int) { return 0; }

void Oscillator::sumEightCopiesSpan(const WaveFrames&, int, bool, float*, float (*)[4], float (*)[4], int) {}

#endif

}  // namespace tvx
