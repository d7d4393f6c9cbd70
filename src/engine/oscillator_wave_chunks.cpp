// The chunked "Wave" path: the smoothed values and rows of a whole chunk
// first, then each copy read across the chunk. It gives what the per-sample
// path (mixWave) gives, bit for bit.
#include "engine/oscillator.h"
#include "engine/oscillator_reads.h"

#include "dsp/simd.h"

namespace tvx {

using namespace oscillator_reads;

namespace {
constexpr const float* kUnisonPan = Oscillator::kUnisonPan;
}  // namespace

// The rows and weight of each sample. A weight of 1 is the upper row alone:
// it is read as a single row.
void Oscillator::selectFrameRows(const float* position, WaveFrames& frames, int count) {
    int i = 0;
#if TVX_SSE2
    // A moving position selects anew at every sample: four at a time.
    if (count > 0 && !(position[0] == selectedPosition_ && position[count - 1] == selectedPosition_))
        i = selectRowsFourAtATime(position, frames, count);
    else
        i = fillRestingRows(position, frames, count);
#endif
    for (; i < count; ++i) {
        if (!(position[i] == selectedPosition_)) {
            selectRows(position[i]);
            selectedPosition_ = position[i];
        }
        const bool upperAlone = rowWeight_ == 1.0f;
        frames.rowA[i] = upperAlone ? rowB_ : rowA_;
        frames.rowB[i] = rowB_;
        frames.weight[i] = upperAlone ? 0.0f : rowWeight_;
    }
}

#if TVX_SSE2
// The rows in place for the samples, four at a time, as long as the position
// rests where they were selected; returns the samples done.
int Oscillator::fillRestingRows(const float* position, WaveFrames& frames, int count) const {
    const bool upperAlone = rowWeight_ == 1.0f;
    const __m128i rowA = _mm_set1_epi32(upperAlone ? rowB_ : rowA_), rowB = _mm_set1_epi32(rowB_);
    const __m128 weight = _mm_set1_ps(upperAlone ? 0.0f : rowWeight_);
    const __m128 selected = _mm_set1_ps(selectedPosition_);
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        if (_mm_movemask_ps(_mm_cmpeq_ps(_mm_load_ps(position + i), selected)) != 0xF) break;
        _mm_storeu_si128(reinterpret_cast<__m128i*>(frames.rowA + i), rowA);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(frames.rowB + i), rowB);
        _mm_store_ps(frames.weight + i, weight);
    }
    return i;
}

// selectRows and the single-row rule of selectFrameRows for four samples at a
// time; the last sample's rows stay selected. Returns the samples done.
int Oscillator::selectRowsFourAtATime(const float* position, WaveFrames& frames, int count) {
    const __m128 zero = _mm_setzero_ps(), one = _mm_set1_ps(1.0f), lastSlot = _mm_set1_ps(16.0f);
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128 scaled = _mm_mul_ps(_mm_set1_ps(16.0f), _mm_load_ps(position + i));
        const __m128i slots = _mm_cvttps_epi32(_mm_min_ps(_mm_max_ps(scaled, zero), lastSlot));
        __m128i rowA, rowB;
        __m128 lower, inverse;
        // A position moves slowly: four samples nearly always share a slot.
        const __m128i firstSlot = _mm_shuffle_epi32(slots, 0);
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(slots, firstSlot)) == 0xFFFF) {
            const SlotRows& rows = slotRows_[_mm_cvtsi128_si32(slots)];
            rowA = _mm_set1_epi32(rows.rowA);
            rowB = _mm_set1_epi32(rows.rowB);
            lower = _mm_set1_ps(rows.lower);
            inverse = _mm_set1_ps(rows.spanInverse);
        } else {
            alignas(16) int slot[4];
            _mm_store_si128(reinterpret_cast<__m128i*>(slot), slots);
            const SlotRows* rows[4] = {&slotRows_[slot[0]], &slotRows_[slot[1]], &slotRows_[slot[2]],
                                       &slotRows_[slot[3]]};
            rowA = _mm_setr_epi32(rows[0]->rowA, rows[1]->rowA, rows[2]->rowA, rows[3]->rowA);
            rowB = _mm_setr_epi32(rows[0]->rowB, rows[1]->rowB, rows[2]->rowB, rows[3]->rowB);
            lower = _mm_setr_ps(rows[0]->lower, rows[1]->lower, rows[2]->lower, rows[3]->lower);
            inverse =
                _mm_setr_ps(rows[0]->spanInverse, rows[1]->spanInverse, rows[2]->spanInverse, rows[3]->spanInverse);
        }
        // clamp01, with NaN going to 0: max and min give their second operand then.
        __m128 weight = _mm_min_ps(_mm_max_ps(_mm_mul_ps(_mm_sub_ps(scaled, lower), inverse), zero), one);
        weight = _mm_andnot_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(rowA, rowB)), weight);
        const __m128 upperAlone = _mm_cmpeq_ps(weight, one);
        const __m128i upperAloneBits = _mm_castps_si128(upperAlone);
        const __m128i readA = _mm_or_si128(_mm_and_si128(upperAloneBits, rowB), _mm_andnot_si128(upperAloneBits, rowA));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(frames.rowA + i), readA);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(frames.rowB + i), rowB);
        _mm_store_ps(frames.weight + i, _mm_andnot_ps(upperAlone, weight));
    }
    if (i > 0) {
        selectedPosition_ = position[i - 1];
        selectRows(selectedPosition_);
    }
    return i;
}
#endif

// The smoothed values and rows of each sample, as the per-sample loop of
// renderSounds would take them.
void Oscillator::waveFrames(const Smoothed& smoothed, WaveFrames& frames, int count) {
    frames.mix = smoothed.mix;
    frames.spread = smoothed.spread;
    int i = 0;
#if TVX_SSE2
    const __m128 one = _mm_set1_ps(1.0f);
    for (; i + 4 <= count; i += 4) {
        const __m128 volume = _mm_load_ps(smoothed.volume + i), pan = _mm_load_ps(smoothed.pan + i);
        _mm_store_ps(frames.gainLeft + i, _mm_mul_ps(volume, _mm_sub_ps(one, pan)));
        _mm_store_ps(frames.gainRight + i, _mm_mul_ps(volume, pan));
    }
#endif
    for (; i < count; ++i) {
        frames.gainLeft[i] = smoothed.volume[i] * (1.0f - smoothed.pan[i]);
        frames.gainRight[i] = smoothed.volume[i] * smoothed.pan[i];
    }
    selectFrameRows(smoothed.position, frames, count);

    frames.uniform = count > 0 && frames.rowA[0] >= 0 && uniformLength_ > 0 && sameThroughout(frames, count);
}

// Whether every sample reads the rows of the first, blends as it does and
// uses the unison copies as it does.
bool Oscillator::sameThroughout(const WaveFrames& frames, int count) {
    const int rowA = frames.rowA[0], rowB = frames.rowB[0];
    const bool blend = frames.weight[0] != 0.0f, unison = frames.mix[0] > 0.0f;
    int i = 0;
#if TVX_SSE2
    const __m128i rowAV = _mm_set1_epi32(rowA), rowBV = _mm_set1_epi32(blend ? rowB : 0);
    const __m128i blendV = _mm_set1_epi32(blend ? -1 : 0), unisonV = _mm_set1_epi32(unison ? -1 : 0);
    const __m128 zero = _mm_setzero_ps();
    __m128i differs = _mm_setzero_si128();
    for (; i + 4 <= count; i += 4) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(frames.rowA + i));
        const __m128i b = _mm_and_si128(blendV, _mm_loadu_si128(reinterpret_cast<const __m128i*>(frames.rowB + i)));
        const __m128i blends = _mm_castps_si128(_mm_cmpneq_ps(_mm_load_ps(frames.weight + i), zero));
        const __m128i mixes = _mm_castps_si128(_mm_cmpgt_ps(_mm_load_ps(frames.mix + i), zero));
        const __m128i sameRows = _mm_and_si128(_mm_cmpeq_epi32(a, rowAV), _mm_cmpeq_epi32(b, rowBV));
        const __m128i sameUse = _mm_and_si128(_mm_cmpeq_epi32(blends, blendV), _mm_cmpeq_epi32(mixes, unisonV));
        const __m128i same = _mm_and_si128(sameRows, sameUse);
        differs = _mm_or_si128(differs, _mm_xor_si128(same, _mm_set1_epi32(-1)));
    }
    if (_mm_movemask_epi8(differs) != 0) return false;
#endif
    for (; i < count; ++i)
        if (frames.rowA[i] != rowA || (frames.weight[i] != 0.0f) != blend || (frames.mix[i] > 0.0f) != unison ||
            (blend && frames.rowB[i] != rowB))
            return false;
    return true;
}

void Oscillator::renderWaveFrames(const WaveFrames& frames, float* left, float* right, int count) {
    for (int i = 0; i < count; ++i) {
        float l = 0.0f, r = 0.0f;
        if (frames.rowA[i] >= 0)
            mixWave(frames.rowA[i], frames.rowB[i], frames.weight[i], frames.mix[i], frames.spread[i], l, r);
        left[i] += frames.gainLeft[i] * l;
        right[i] += frames.gainRight[i] * r;
    }
}

void Oscillator::renderWave(const Smoothed& smoothed, float* left, float* right, int count) {
    WaveFrames frames;
    waveFrames(smoothed, frames, count);
#if TVX_SSE2
    if (frames.uniform) {
        renderWaveSpan(frames, left, right, count);
        return;
    }
#endif
    renderWaveFrames(frames, left, right, count);
}

#if TVX_SSE2

// The main copy's phases of a span: one chain from sample to sample.
void Oscillator::stepMainPhases(float* phases, int count) {
    float phase = main_.phase;
    for (int i = 0; i < count; ++i) {
        phases[i] = phase;
        advance(phase, main_.increment);
    }
    main_.phase = phase;
}

// The main copy of a span at its phases, four samples at a time with the
// operations of blendRows and WtCollection::read.
void Oscillator::readMainSpan(const float* weights, const float* phases, int rowA, int rowB, bool blend, float* out,
                              int count) {
    const WtLevel& levelA = *main_.levels[rowA];
    const WtLevel& levelB = *main_.levels[rowB];
    const float* cyclesA[4] = {levelA.samples, levelA.samples, levelA.samples, levelA.samples};
    const float* cyclesB[4] = {levelB.samples, levelB.samples, levelB.samples, levelB.samples};
    const __m128 length = _mm_set1_ps(static_cast<float>(uniformLength_));
    const __m128i mask = _mm_set1_epi32(uniformLength_ - 1);
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128 weight = _mm_load_ps(weights + i);
        _mm_store_ps(out + i, readCycles(cyclesA, cyclesB, _mm_load_ps(phases + i), length, mask, blend, weight));
    }
    for (; i < count; ++i)
        out[i] = blend ? blendRows(levelA, levelB, weights[i], phases[i]) : WtCollection::read(levelA, phases[i]);
}

// The work of renderWaveFrames for a chunk whose samples all read the same
// rows, blend or not alike and all use the unison copies or none: each copy
// is read for the whole chunk, with its phase in a register. Sums are formed
// in the per-sample order. For uniform chunks only, with table rows of one length.
void Oscillator::renderWaveSpan(const WaveFrames& frames, float* left, float* right, int count) {
    const int rowA = frames.rowA[0], rowB = frames.rowB[0];
    const bool blend = frames.weight[0] != 0.0f;
    const bool unison = frames.mix[0] > 0.0f;

    alignas(16) float mainPhases[kChunk], mainSamples[kChunk];
    alignas(16) float termsLeft[kChunk][4], termsRight[kChunk][4];
    const bool fromPairs = useAvx2_ && pairsReady_ && (!blend || rowB == pairPartner(rowA));
    const bool eightInOneRegister = fromPairs && unison && unisonCount_ > 4;
    // The main copy's phase chain then waits on nothing but itself: it runs
    // alongside the copies' reads.
    if (eightInOneRegister)
        sumEightCopiesSpan(frames, rowA, blend, mainPhases, termsLeft, termsRight, count);
    else
        stepMainPhases(mainPhases, count);
    const int readFromPairs =
        fromPairs ? readMainEightAtATime(frames.weight, mainPhases, rowA, blend, mainSamples, count) : 0;
    readMainSpan(frames.weight + readFromPairs, mainPhases + readFromPairs, rowA, blend ? rowB : rowA, blend,
                 mainSamples + readFromPairs, count - readFromPairs);
    if (!unison) {
        for (int i = 0; i < count; ++i) {
            left[i] += frames.gainLeft[i] * mainSamples[i];
            right[i] += frames.gainRight[i] * mainSamples[i];
        }
        return;
    }

    const int groups = eightInOneRegister ? 0 : (unisonCount_ > 4 ? 2 : 1);
    for (int g = 0; g < groups; ++g)
        if (blend)
            sumCopyGroupSpan<true>(frames, rowA, rowB, 4 * g, termsLeft, termsRight, count);
        else
            sumCopyGroupSpan<false>(frames, rowA, rowB, 4 * g, termsLeft, termsRight, count);

    int i = useAvx2_ ? finishEightAtATime(frames, mainSamples, termsLeft, termsRight, left, right, count) : 0;
    i = finishFourAtATime(frames, mainSamples, termsLeft, termsRight, left, right, i, count);
    for (; i < count; ++i) {
        const __m128 sumL = _mm_load_ps(termsLeft[i]), sumR = _mm_load_ps(termsRight[i]);
        const __m128 halvesL = _mm_add_ps(sumL, _mm_movehl_ps(sumL, sumL));
        const __m128 halvesR = _mm_add_ps(sumR, _mm_movehl_ps(sumR, sumR));
        const float sumLeft = _mm_cvtss_f32(_mm_add_ss(halvesL, _mm_shuffle_ps(halvesL, halvesL, 1)));
        const float sumRight = _mm_cvtss_f32(_mm_add_ss(halvesR, _mm_shuffle_ps(halvesR, halvesR, 1)));
        float l, r;
        finishUnison(mainSamples[i], frames.mix[i], frames.spread[i], sumLeft, sumRight, l, r);
        left[i] += frames.gainLeft[i] * l;
        right[i] += frames.gainRight[i] * r;
    }
}

namespace {

// The copies' sums of four samples, lane by lane: transposed, each lane adds
// its terms in the order of one sample's horizontal sum.
inline __m128 sumsOfFourSamples(float (*terms)[4]) {
    __m128 t0 = _mm_load_ps(terms[0]), t1 = _mm_load_ps(terms[1]), t2 = _mm_load_ps(terms[2]),
           t3 = _mm_load_ps(terms[3]);
    _MM_TRANSPOSE4_PS(t0, t1, t2, t3);
    return _mm_add_ps(_mm_add_ps(t0, t2), _mm_add_ps(t1, t3));
}

}  // namespace

// finishUnison and the gains for four samples at a time from sample `from`
// on; returns the samples done.
int Oscillator::finishFourAtATime(const WaveFrames& frames, const float* mainSamples, float (*termsLeft)[4],
                                  float (*termsRight)[4], float* left, float* right, int from, int count) const {
    const bool odd = (unisonCount_ & 1) != 0;
    const __m128 pan = _mm_set1_ps(odd ? kUnisonPan[unisonCount_] : 0.0f);
    const __m128 one = _mm_set1_ps(1.0f);
    int i = from;
    for (; i + 4 <= count; i += 4) {
        const __m128 sumL = sumsOfFourSamples(termsLeft + i), sumR = sumsOfFourSamples(termsRight + i);
        const __m128 mix = _mm_load_ps(frames.mix + i);
        const __m128 spread = _mm_load_ps(frames.spread + i);
        const __m128 balance =
            odd ? _mm_mul_ps(_mm_mul_ps(_mm_mul_ps(mix, mix), spread), pan) : _mm_setzero_ps();
        const __m128 main = _mm_load_ps(mainSamples + i);
        const __m128 l = _mm_add_ps(_mm_mul_ps(mix, sumL), _mm_mul_ps(_mm_add_ps(one, balance), main));
        const __m128 r = _mm_add_ps(_mm_mul_ps(mix, sumR), _mm_mul_ps(_mm_sub_ps(one, balance), main));
        const __m128 gainL = _mm_load_ps(frames.gainLeft + i);
        const __m128 gainR = _mm_load_ps(frames.gainRight + i);
        _mm_storeu_ps(left + i, _mm_add_ps(_mm_loadu_ps(left + i), _mm_mul_ps(gainL, l)));
        _mm_storeu_ps(right + i, _mm_add_ps(_mm_loadu_ps(right + i), _mm_mul_ps(gainR, r)));
    }
    return i;
}

// Copies first..first + 3 for a chunk: the operations of sumWaveCopiesSse,
// their terms added to those of the copies before them (or stored, for the
// first four).
template <bool kBlend>
void Oscillator::sumCopyGroupSpan(const WaveFrames& frames, int rowA, int rowB, int first, float (*termsLeft)[4],
                                  float (*termsRight)[4], int count) {
    const __m128 one = _mm_set1_ps(1.0f);
    const __m128 length = _mm_set1_ps(static_cast<float>(uniformLength_));
    const __m128i mask = _mm_set1_epi32(uniformLength_ - 1);
    const __m128 pan = _mm_load_ps(kUnisonPan + first);
    const __m128 live = _mm_load_ps(lanes_.live + first);
    const __m128 step = _mm_load_ps(lanes_.step + first);
    const float* const* cyclesA = lanes_.samples[rowA] + first;
    const float* const* cyclesB = lanes_.samples[rowB] + first;
    __m128 phase = _mm_load_ps(lanes_.phase + first);
    for (int i = 0; i < count; ++i) {
        const __m128 v = readCycles(cyclesA, cyclesB, phase, length, mask, kBlend, _mm_set1_ps(frames.weight[i]));
        const __m128 side = _mm_mul_ps(_mm_set1_ps(frames.spread[i]), pan);
        const __m128 termL = _mm_mul_ps(v, _mm_mul_ps(_mm_add_ps(one, side), live));
        const __m128 termR = _mm_mul_ps(v, _mm_mul_ps(_mm_sub_ps(one, side), live));
        if (first == 0) {
            _mm_store_ps(termsLeft[i], termL);
            _mm_store_ps(termsRight[i], termR);
        } else {
            _mm_store_ps(termsLeft[i], _mm_add_ps(_mm_load_ps(termsLeft[i]), termL));
            _mm_store_ps(termsRight[i], _mm_add_ps(_mm_load_ps(termsRight[i]), termR));
        }
        const __m128 advanced = _mm_add_ps(phase, step);
        phase = _mm_sub_ps(advanced, _mm_and_ps(_mm_cmpge_ps(advanced, one), one));
    }
    _mm_store_ps(lanes_.phase + first, phase);
}

#endif

}  // namespace tvx
