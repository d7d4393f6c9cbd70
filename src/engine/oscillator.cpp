#include "engine/oscillator.h"

#include "engine/fast_trig.h"

#include "params/modulation_codes.h"
#include "params/parameter_id.h"
#include "params/value_mappings.h"

#include <cmath>

#include "dsp/simd.h"

namespace {

constexpr float kUnisonDetune[Oscillator::kMaxUnison] = {
    +0.01991221f, -0.01952356f, +0.06216538f, -0.06288439f,
    +0.10745242f, -0.11002313f, +0.14627282f, -0.16924234f};
constexpr const float* kUnisonPan = Oscillator::kUnisonPan;
constexpr int kTargetsPerOsc = TgtOsc2Tune - TgtOsc1Tune;

// NaN goes to the lower bound.
inline float clamp01(float x) { return x > 0.0f ? (x < 1.0f ? x : 1.0f) : 0.0f; }

inline int clampOsc(int osc) { return osc < 0 ? 0 : (osc > 2 ? 2 : osc); }

inline void advance(float& phase, float increment) {
    phase += increment;
    if (phase >= 1.0f) phase -= 1.0f;
}

// The value the next update of a smoother will give, without changing it.
inline float peekSmoother(const SettlingSmoother& settling, float target) {
    const ParamSmoother& s = settling.smoother;
    return s.jump ? target : s.a * s.value + s.oneMinusA * target;
}

// An increment taken modulo one cycle: a negative or aliased operator
// frequency keeps turning (backwards, or folded) instead of freezing at 0 or 1,
// and the single wrap in advance() still holds.
inline float wrapIncrement(float increment) {
    if (!std::isfinite(increment)) return 0.0f;
    increment -= std::floor(increment);
    return increment < 1.0f ? increment : 0.0f;
}

inline float wrapStartPhase(float phase) {
    if (!std::isfinite(phase)) return 0.0f;
    phase -= std::floor(phase);
    return phase < 1.0f ? phase : 0.0f;
}

}  // namespace

Oscillator::Oscillator() {
    for (int i = 0; i < kPositionSlots; ++i) {
        slotRow_[i] = -1;
        slotRows_[i] = SlotRows{-1, -1, 0.0f, 0.0f};
    }
    prepare(44100.0f, nullptr);
}

void Oscillator::prepare(float sampleRate, const WtCollection* tables) {
    tables_ = tables;
    useAvx2_ = hasAvx2();
    inverseSampleRate_ = (sampleRate > 0.0f && std::isfinite(sampleRate)) ? 1.0f / sampleRate : 0.0f;
    type_ = Off;  // until the next control step has cached levels of these tables
    cached_.rows = 0;
    const WtLevel* silent = &WtCollection::silentLevel();
    for (int r = 0; r < kRows; ++r) {
        main_.levels[r] = silent;
        for (int k = 0; k < kMaxUnison; ++k) {
            lanes_.levels[r][k] = silent;
            lanes_.samples[r][k] = silent->samples;
        }
    }
    uniformLength_ = silent->length;
}

void Oscillator::resetPhase(float phaseParam) {
    const float start =
        phaseParam == 1.0f ? (random ? static_cast<float>(random->next()) / 32767.0f : 0.0f) : phaseParam;
    main_.phase = wrapStartPhase(start);
    // Copies start spread out so that a fresh unison chord does not begin
    // with all copies in phase.
    for (int k = 0; k < kMaxUnison; ++k)
        lanes_.phase[k] = wrapStartPhase(main_.phase + 0.61803399f * static_cast<float>(k + 1));
    modPhase1_ = 0.0f;
    modPhase2_ = 0.0f;
}

void Oscillator::jumpSmoothers() {
    position_.jumpToNextTarget();
    pan_.jumpToNextTarget();
    volume_.jumpToNextTarget();
    unisonMix_.jumpToNextTarget();
    unisonSpread_.jumpToNextTarget();
    index1_.jumpToNextTarget();
    index2_.jumpToNextTarget();
}

float Oscillator::unisonIncrement(int copy) const {
    return (copy >= 0 && copy < kMaxUnison) ? lanes_.increment[copy] : 0.0f;
}

void Oscillator::loadWaveSlots() {
    selectedPosition_ = -1.0f;
    for (int i = 0; i < kPositionSlots; ++i) slotRow_[i] = -1;
    slotRow_[0] = 1;
    slotRow_[4] = 2;
    slotRow_[8] = 0;
    slotRow_[12] = 3;
    slotRow_[16] = 1;

    for (int i = 0; i < kPositionSlots; ++i) {
        int lower = -1, upper = -1;
        for (int j = i; j >= 0 && lower < 0; --j)
            if (slotRow_[j] >= 0) lower = j;
        for (int j = i + 1; j < kPositionSlots && lower < 0; ++j)
            if (slotRow_[j] >= 0) lower = j;
        for (int j = i + 1; j < kPositionSlots && upper < 0; ++j)
            if (slotRow_[j] >= 0) upper = j;
        for (int j = i; j >= 0 && upper < 0; --j)
            if (slotRow_[j] >= 0) upper = j;
        SlotRows& rows = slotRows_[i];
        rows.rowA = lower >= 0 ? slotRow_[lower] : -1;
        rows.rowB = lower >= 0 ? slotRow_[upper] : -1;
        rows.lower = static_cast<float>(lower);
        rows.spanInverse = (lower >= 0 && upper != lower) ? 1.0f / static_cast<float>(upper - lower) : 0.0f;
    }
}

void Oscillator::controlStep(const float* params, const float* T, int osc, float semitones, float a4) {
    osc = clampOsc(osc);
    int type = choiceValue(params[Osc1Type + osc]);
    if (type < Off || type > Fm) type = Off;
    if (type == Wave && type_ != Wave) loadWaveSlots();
    type_ = type;

    const float increment = clamp01(std::exp2(semitones / 12.0f) * a4 * inverseSampleRate_);
    baseIncrement_ = increment;
    if (type_ == Fm)
        setUpFm(params, T, osc, increment);
    else
        setUpUnison(params, osc, increment);
    cacheLevels();
}

void Oscillator::setUpUnison(const float* params, int osc, float increment) {
    // The copies are kept up to date even with the mix at 0, so a mix that
    // fades in between control steps finds them ready.
    const float mix = peekSmoother(unisonMix_, clamp01(params[Osc1UniMix + osc]));
    const int count = ::unisonCount(clamp01(params[Osc1UniCount + osc]));
    const float detune = clamp01(params[Osc1UniDet + osc]);
    const float depth = detune * detune;
    unisonCount_ = count;
    for (int k = 0; k < count; ++k) lanes_.increment[k] = clamp01(increment * (1.0f + depth * kUnisonDetune[k]));
    for (int k = 0; k < kMaxUnison; ++k) {
        lanes_.step[k] = k < count ? lanes_.increment[k] : 0.0f;
        lanes_.live[k] = k < count ? 1.0f : 0.0f;
    }
    if (count & 1)
        main_.increment = clamp01(increment * (1.0f + depth * kUnisonDetune[count] * mix * mix));
    else
        main_.increment = increment;
}

void Oscillator::setUpFm(const float* params, const float* T, int osc, float increment) {
    const float amount1 = clamp01(params[Osc1Mod1Amt + osc] + T[TgtOsc1Mod1 + 2 * osc]);
    const float amount2 = clamp01(params[Osc1Mod2Amt + osc] + T[TgtOsc1Mod2 + 2 * osc]);
    indexTarget1_ = 5.0f * amount1 * amount1;
    indexTarget2_ = 5.0f * amount2 * amount2;
    const float ratio1 = 1.0f + 9.0f * T[TgtOsc1Ratio1 + 2 * osc] +
                         fmRatio(clamp01(params[Osc1Mod1Ratio + osc]));
    const float ratio2 = 1.0f + 9.0f * T[TgtOsc1Ratio2 + 2 * osc] +
                         fmRatio(clamp01(params[Osc1Mod2Ratio + osc]));
    main_.increment = increment;
    modIncrement1_ = wrapIncrement(ratio1 * increment);
    modIncrement2_ = wrapIncrement(ratio2 * increment);
    unisonCount_ = 1;
}

void Oscillator::cacheLevels() {
    const int rows = type_ == Wave ? kRows : (type_ == Pulse ? 1 : 0);
    if (rows == 0) return;
    const WtLevel* silent = &WtCollection::silentLevel();
    int length = -1;
    bool uniform = true;
    auto note = [&length, &uniform](const WtLevel* level) {
        if (length < 0) length = level->length;
        uniform = uniform && level->length == length;
    };
    // One threshold scan per copy serves every row when the rows share their levels.
    const bool shared = tables_ && tables_->levelsShared();
    int mainIndex = -1, copyIndex[kMaxUnison];
    if (shared) {
        mainIndex = tables_->findLevelIndex(0, main_.increment);
        for (int k = 0; k < unisonCount_; ++k) copyIndex[k] = tables_->findLevelIndex(0, lanes_.increment[k]);
        if (levelsCachedFor(rows, mainIndex, copyIndex)) return;
    } else {
        cached_.rows = 0;
    }
    auto levelFor = [this, shared, silent](int row, int index, float increment) {
        if (!tables_) return silent;
        return shared ? &tables_->level(row, index) : &tables_->findLevel(row, increment);
    };
    for (int r = 0; r < rows; ++r) {
        main_.levels[r] = levelFor(r, mainIndex, main_.increment);
        note(main_.levels[r]);
        for (int k = 0; k < kMaxUnison; ++k) {
            if (k < unisonCount_) lanes_.levels[r][k] = levelFor(r, shared ? copyIndex[k] : -1, lanes_.increment[k]);
            else lanes_.levels[r][k] = lanes_.levels[r][0];
            lanes_.samples[r][k] = lanes_.levels[r][k]->samples;
            note(lanes_.levels[r][k]);
        }
    }
    uniformLength_ = uniform ? length : 0;
}

// True when the levels in place are those of these indices; else the
// indices are noted for the levels about to be found.
bool Oscillator::levelsCachedFor(int rows, int mainIndex, const int* copyIndex) {
    bool same = cached_.rows == rows && cached_.copies == unisonCount_ && cached_.main == mainIndex;
    for (int k = 0; k < unisonCount_ && same; ++k) same = cached_.copy[k] == copyIndex[k];
    if (same) return true;
    cached_.rows = rows;
    cached_.copies = unisonCount_;
    cached_.main = mainIndex;
    for (int k = 0; k < unisonCount_; ++k) cached_.copy[k] = copyIndex[k];
    return false;
}

void Oscillator::selectRows(float position) {
    const float scaled = 16.0f * position;
    int slot = static_cast<int>(scaled);
    if (slot > kPositionSlots - 1) slot = kPositionSlots - 1;
    if (slot < 0) slot = 0;
    const SlotRows& rows = slotRows_[slot];
    rowA_ = rows.rowA;
    rowB_ = rows.rowB;
    if (rowA_ < 0) return;
    if (rowA_ == rowB_) {
        rowWeight_ = 0.0f;
        return;
    }
    rowWeight_ = clamp01((scaled - rows.lower) * rows.spanInverse);
}

namespace {

// Rows of different lengths (tables of another rate): never the case within
// one collection, so kept out of the rendering loops.
#if defined(__GNUC__)
__attribute__((noinline))
#endif
float blendRowsOfOtherLengths(const WtLevel& levelA, const WtLevel& levelB, float weight, float phase) {
    return WtCollection::read(levelA, phase) +
           weight * (WtCollection::read(levelB, phase) - WtCollection::read(levelA, phase));
}

}  // namespace

inline float Oscillator::blendRows(const WtLevel& levelA, const WtLevel& levelB, float weight, float phase) {
    if (levelA.length != levelB.length) return blendRowsOfOtherLengths(levelA, levelB, weight, phase);
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

#if TVX_SSE2
namespace {

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

}  // namespace

template <bool kBlend>
inline void Oscillator::sumWaveCopiesSse(int rowA, int rowB, float weight, float spread, float& sumLeft,
                                         float& sumRight) {
    // The operations of blendRows and sumLanes, four copies at a time.
    const __m128 one = _mm_set1_ps(1.0f);
    const __m128 length = _mm_set1_ps(static_cast<float>(uniformLength_));
    const __m128i mask = _mm_set1_epi32(uniformLength_ - 1);
    const __m128 w = _mm_set1_ps(weight);
    const __m128 spreadV = _mm_set1_ps(spread);
    __m128 sumL = _mm_setzero_ps(), sumR = _mm_setzero_ps();
    const int groups = unisonCount_ > 4 ? 2 : 1;
    for (int g = 0; g < groups; ++g) {
        const int k = 4 * g;
        const __m128 phase = _mm_load_ps(lanes_.phase + k);
        const __m128 v = readCycles(lanes_.samples[rowA] + k, lanes_.samples[rowB] + k, phase, length, mask, kBlend, w);
        const __m128 side = _mm_mul_ps(spreadV, _mm_load_ps(kUnisonPan + k));
        const __m128 live = _mm_load_ps(lanes_.live + k);
        const __m128 termL = _mm_mul_ps(v, _mm_mul_ps(_mm_add_ps(one, side), live));
        const __m128 termR = _mm_mul_ps(v, _mm_mul_ps(_mm_sub_ps(one, side), live));
        sumL = g == 0 ? termL : _mm_add_ps(sumL, termL);
        sumR = g == 0 ? termR : _mm_add_ps(sumR, termR);

        const __m128 advanced = _mm_add_ps(phase, _mm_load_ps(lanes_.step + k));
        const __m128 wraps = _mm_cmpge_ps(advanced, one);
        _mm_store_ps(lanes_.phase + k, _mm_sub_ps(advanced, _mm_and_ps(wraps, one)));
    }
    const __m128 halvesL = _mm_add_ps(sumL, _mm_movehl_ps(sumL, sumL));
    const __m128 halvesR = _mm_add_ps(sumR, _mm_movehl_ps(sumR, sumR));
    sumLeft = _mm_cvtss_f32(_mm_add_ss(halvesL, _mm_shuffle_ps(halvesL, halvesL, 1)));
    sumRight = _mm_cvtss_f32(_mm_add_ss(halvesR, _mm_shuffle_ps(halvesR, halvesR, 1)));
}
#endif

void Oscillator::sumLanes(const float* values, float spread, float& sumLeft, float& sumRight) const {
    // Lane l holds copies l and l + 4; the lanes are then added pairwise.
    float l[4], r[4];
    const bool upper = unisonCount_ > 4;
    for (int lane = 0; lane < 4; ++lane) {
        const float side = spread * kUnisonPan[lane];
        l[lane] = values[lane] * ((1.0f + side) * lanes_.live[lane]);
        r[lane] = values[lane] * ((1.0f - side) * lanes_.live[lane]);
        if (upper) {
            const int k = lane + 4;
            const float sideUp = spread * kUnisonPan[k];
            l[lane] = l[lane] + values[k] * ((1.0f + sideUp) * lanes_.live[k]);
            r[lane] = r[lane] + values[k] * ((1.0f - sideUp) * lanes_.live[k]);
        }
    }
    sumLeft = (l[0] + l[2]) + (l[1] + l[3]);
    sumRight = (r[0] + r[2]) + (r[1] + r[3]);
}

void Oscillator::sumWaveCopies(int rowA, int rowB, float weight, float spread, float& sumLeft, float& sumRight) {
#if TVX_SSE2
    if (uniformLength_ > 0) {
        if (weight == 0.0f)
            sumWaveCopiesSse<false>(rowA, rowB, weight, spread, sumLeft, sumRight);
        else
            sumWaveCopiesSse<true>(rowA, rowB, weight, spread, sumLeft, sumRight);
        return;
    }
#endif
    float values[kMaxUnison] = {};
    for (int k = 0; k < unisonCount_; ++k) {
        const float phase = lanes_.phase[k];
        values[k] = weight == 0.0f ? WtCollection::read(*lanes_.levels[rowA][k], phase)
                                   : blendRows(*lanes_.levels[rowA][k], *lanes_.levels[rowB][k], weight, phase);
        advance(lanes_.phase[k], lanes_.step[k]);
    }
    sumLanes(values, spread, sumLeft, sumRight);
}

void Oscillator::finishUnison(float mainSample, float mix, float spread, float sumLeft, float sumRight,
                              float& left, float& right) const {
    const int count = unisonCount_;
    const float balance = (count & 1) ? mix * mix * spread * kUnisonPan[count] : 0.0f;
    left = mix * sumLeft + (1.0f + balance) * mainSample;
    right = mix * sumRight + (1.0f - balance) * mainSample;
}

void Oscillator::mixWave(int rowA, int rowB, float weight, float mix, float spread, float& left, float& right) {
    const float s = weight == 0.0f ? WtCollection::read(*main_.levels[rowA], main_.phase)
                                   : blendRows(*main_.levels[rowA], *main_.levels[rowB], weight, main_.phase);
    advance(main_.phase, main_.increment);
    if (!(mix > 0.0f)) {
        left = right = s;
        return;
    }
    float sumLeft, sumRight;
    sumWaveCopies(rowA, rowB, weight, spread, sumLeft, sumRight);
    finishUnison(s, mix, spread, sumLeft, sumRight, left, right);
}

// The rows and weight of each sample. A weight of 1 is the upper row alone:
// it is read as a single row.
void Oscillator::selectFrameRows(const float* position, WaveFrames& frames, int count) {
    int i = 0;
#if TVX_SSE2
    // A moving position selects anew at every sample: four at a time.
    if (count > 0 && !(position[0] == selectedPosition_ && position[count - 1] == selectedPosition_))
        i = selectRowsFourAtATime(position, frames, count);
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
// selectRows and the single-row rule of selectFrameRows for four samples at a
// time; the last sample's rows stay selected. Returns the samples done.
int Oscillator::selectRowsFourAtATime(const float* position, WaveFrames& frames, int count) {
    const __m128 zero = _mm_setzero_ps(), one = _mm_set1_ps(1.0f), lastSlot = _mm_set1_ps(16.0f);
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128 scaled = _mm_mul_ps(_mm_set1_ps(16.0f), _mm_load_ps(position + i));
        alignas(16) int slot[4];
        _mm_store_si128(reinterpret_cast<__m128i*>(slot),
                        _mm_cvttps_epi32(_mm_min_ps(_mm_max_ps(scaled, zero), lastSlot)));
        const SlotRows* rows[4] = {&slotRows_[slot[0]], &slotRows_[slot[1]], &slotRows_[slot[2]], &slotRows_[slot[3]]};
        const __m128i rowA = _mm_setr_epi32(rows[0]->rowA, rows[1]->rowA, rows[2]->rowA, rows[3]->rowA);
        const __m128i rowB = _mm_setr_epi32(rows[0]->rowB, rows[1]->rowB, rows[2]->rowB, rows[3]->rowB);
        const __m128 lower = _mm_setr_ps(rows[0]->lower, rows[1]->lower, rows[2]->lower, rows[3]->lower);
        const __m128 inverse =
            _mm_setr_ps(rows[0]->spanInverse, rows[1]->spanInverse, rows[2]->spanInverse, rows[3]->spanInverse);
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

// The main copy of a span: its phases first, the one chain from sample to
// sample, then the reads four samples at a time with the operations of
// blendRows and WtCollection::read.
void Oscillator::readMainSpan(const float* weights, int rowA, int rowB, bool blend, float* out, int count) {
    alignas(16) float phases[kChunk];
    float phase = main_.phase;
    for (int i = 0; i < count; ++i) {
        phases[i] = phase;
        advance(phase, main_.increment);
    }
    main_.phase = phase;

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

    alignas(16) float mainSamples[kChunk];
    readMainSpan(frames.weight, rowA, blend ? rowB : rowA, blend, mainSamples, count);
    if (!unison) {
        for (int i = 0; i < count; ++i) {
            left[i] += frames.gainLeft[i] * mainSamples[i];
            right[i] += frames.gainRight[i] * mainSamples[i];
        }
        return;
    }

    alignas(16) float termsLeft[kChunk][4], termsRight[kChunk][4];
    const int groups = unisonCount_ > 4 ? 2 : 1;
    if (groups == 2 && useAvx2_)
        sumEightCopiesSpan(frames, rowA, rowB, blend, termsLeft, termsRight, count);
    else
        for (int g = 0; g < groups; ++g)
            if (blend)
                sumCopyGroupSpan<true>(frames, rowA, rowB, 4 * g, termsLeft, termsRight, count);
            else
                sumCopyGroupSpan<false>(frames, rowA, rowB, 4 * g, termsLeft, termsRight, count);

    int i = finishFourAtATime(frames, mainSamples, termsLeft, termsRight, left, right, count);
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

// finishUnison and the gains for four samples at a time; returns the samples done.
int Oscillator::finishFourAtATime(const WaveFrames& frames, const float* mainSamples, float (*termsLeft)[4],
                                  float (*termsRight)[4], float* left, float* right, int count) const {
    const bool odd = (unisonCount_ & 1) != 0;
    const __m128 pan = _mm_set1_ps(odd ? kUnisonPan[unisonCount_] : 0.0f);
    const __m128 one = _mm_set1_ps(1.0f);
    int i = 0;
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

float Oscillator::pulseSample(const WtLevel& ramp, float phase, float width) const {
    float shifted = phase + width;
    if (shifted > 1.0f) shifted -= 1.0f;
    return WtCollection::read(ramp, phase) - WtCollection::read(ramp, shifted);
}

void Oscillator::mixPulse(float width, float mix, float spread, float& left, float& right) {
    const float s = pulseSample(*main_.levels[0], main_.phase, width);
    advance(main_.phase, main_.increment);
    if (!(mix > 0.0f)) {
        left = right = s;
        return;
    }
    float values[kMaxUnison] = {};
    for (int k = 0; k < unisonCount_; ++k) {
        values[k] = pulseSample(*lanes_.levels[0][k], lanes_.phase[k], width);
        advance(lanes_.phase[k], lanes_.step[k]);
    }
    float sumLeft, sumRight;
    sumLanes(values, spread, sumLeft, sumRight);
    finishUnison(s, mix, spread, sumLeft, sumRight, left, right);
}

float Oscillator::fmSample() {
    const float index1 = index1_.update(indexTarget1_);
    const float index2 = index2_.update(indexTarget2_);
    // Phase offsets in cycles: y * index * 2 pi radians.
    const float y2 = sinCycles(modPhase2_);
    const float y1 = sinCycles(modPhase1_ + y2 * index2);
    const float carrier = sinCycles(main_.phase + y1 * index1);
    advance(modPhase2_, modIncrement2_);
    advance(modPhase1_, modIncrement1_);
    advance(main_.phase, main_.increment);
    return carrier;
}

Oscillator::Targets Oscillator::targetsOf(const float* params, const float* T, int osc) {
    osc = clampOsc(osc);
    const int t = osc * kTargetsPerOsc;
    Targets targets;
    targets.position = clamp01(params[Osc1Pos + osc] + T[TgtOsc1Pos + t] + T[TgtOscPos]);
    targets.pan = clamp01(params[Osc1Pan + osc] + T[TgtOsc1Pan + t] + T[TgtOscPan]);
    targets.volume = clamp01(params[Osc1Vol + osc] + T[TgtOsc1Vol + t] + T[TgtOscVol]);
    targets.mix = clamp01(params[Osc1UniMix + osc]);
    targets.spread = clamp01(params[Osc1UniSprd + osc]);
    return targets;
}

bool Oscillator::settledAt(const Targets& targets) const {
    return position_.settledAt(targets.position) && pan_.settledAt(targets.pan) &&
           volume_.settledAt(targets.volume) && unisonMix_.settledAt(targets.mix) &&
           unisonSpread_.settledAt(targets.spread);
}

void Oscillator::smooth(Oscillator* const* oscillators, const Targets* targets, int n, Smoothed* out, int count) {
    constexpr int kPerOscillator = 5;
    SettlingSmoother* smoothers[kPerVoice * kPerOscillator];
    float values[kPerVoice * kPerOscillator];
    float* outputs[kPerVoice * kPerOscillator];
    int used = 0;
    for (int k = 0; k < n && k < kPerVoice; ++k) {
        Oscillator& o = *oscillators[k];
        const Targets& t = targets[k];
        // Silent and settled: nothing moves and nothing reads the values.
        if (o.type_ == Off && o.settledAt(t)) continue;
        SettlingSmoother* own[kPerOscillator] = {&o.position_, &o.pan_, &o.volume_, &o.unisonMix_, &o.unisonSpread_};
        const float goals[kPerOscillator] = {t.position, t.pan, t.volume, t.mix, t.spread};
        float* into[kPerOscillator] = {out[k].position, out[k].pan, out[k].volume, out[k].mix, out[k].spread};
        for (int j = 0; j < kPerOscillator; ++j, ++used) {
            smoothers[used] = own[j];
            values[used] = goals[j];
            outputs[used] = into[j];
        }
    }
    SettlingSmoother::fillSideBySide(smoothers, values, outputs, used, count);
}

void Oscillator::smoothSideBySide(Oscillator* oscillators, int n, const float* params, const float* T, Smoothed* out,
                                  int count) {
    Oscillator* each[kPerVoice];
    Targets targets[kPerVoice];
    n = n < kPerVoice ? n : kPerVoice;
    for (int k = 0; k < n; ++k) {
        each[k] = oscillators + k;
        targets[k] = targetsOf(params, T, k);
    }
    smooth(each, targets, n, out, count);
}

template <class Sound>
inline void Oscillator::renderSounds(const Smoothed& smoothed, float* left, float* right, int count, Sound sound) {
    for (int i = 0; i < count; ++i) {
        float soundLeft = 0.0f, soundRight = 0.0f;
        sound(smoothed.position[i], smoothed.mix[i], smoothed.spread[i], soundLeft, soundRight);
        left[i] += smoothed.volume[i] * (1.0f - smoothed.pan[i]) * soundLeft;
        right[i] += smoothed.volume[i] * smoothed.pan[i] * soundRight;
    }
}

void Oscillator::renderSmoothed(const Smoothed& smoothed, float* left, float* right, int count) {
    switch (type_) {
        case Wave:
            renderWave(smoothed, left, right, count);
            break;
        case Pulse:
            renderSounds(smoothed, left, right, count,
                         [this](float position, float mix, float spread, float& l, float& r) {
                             mixPulse(position, mix, spread, l, r);
                         });
            break;
        case Fm:
            renderSounds(smoothed, left, right, count,
                         [this](float, float, float, float& l, float& r) { l = r = fmSample(); });
            break;
        default:
            break;  // silent: the smoothers have moved on as they do while sounding
    }
}

void Oscillator::renderAdding(const float* params, const float* T, int osc, float* left, float* right,
                              int count) {
    const Targets targets = targetsOf(params, T, osc);
    Oscillator* self = this;
    Smoothed smoothed;
    for (int done = 0; done < count; done += kChunk) {
        const int n = count - done < kChunk ? count - done : kChunk;
        smooth(&self, &targets, 1, &smoothed, n);
        renderSmoothed(smoothed, left + done, right + done, n);
    }
}

void Oscillator::render(const float* params, const float* T, int osc, float& left, float& right) {
    left = right = 0.0f;
    renderAdding(params, T, osc, &left, &right, 1);
}
