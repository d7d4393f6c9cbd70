#include "engine/oscillator.h"

#include "params/modulation_codes.h"
#include "params/parameter_id.h"
#include "params/value_mappings.h"

#include <cmath>
#include <cstdlib>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr float kUnisonDetune[Oscillator::kMaxUnison] = {
    +0.01991221f, -0.01952356f, +0.06216538f, -0.06288439f,
    +0.10745242f, -0.11002313f, +0.14627282f, -0.16924234f};
constexpr float kUnisonPan[Oscillator::kMaxUnison] = {
    +0.8f, -0.8f, +0.6f, -0.6f, +0.4f, -0.4f, +0.2f, -0.2f};
constexpr int kTargetsPerOsc = TgtOsc2Tune - TgtOsc1Tune;

// NaN goes to the lower bound.
inline float clamp01(float x) { return x > 0.0f ? (x < 1.0f ? x : 1.0f) : 0.0f; }

inline int clampOsc(int osc) { return osc < 0 ? 0 : (osc > 2 ? 2 : osc); }

inline void advance(float& phase, float increment) {
    phase += increment;
    if (phase >= 1.0f) phase -= 1.0f;
}

// sin(2 pi x) for |x| well inside the int range, without a library call.
inline float sinCycles(float x) {
    float r = x - static_cast<float>(static_cast<int>(x));
    if (r > 0.5f) r -= 1.0f;
    else if (r < -0.5f) r += 1.0f;
    if (r > 0.25f) r = 0.5f - r;
    else if (r < -0.25f) r = -0.5f - r;
    const float z = r * 6.28318531f;
    const float z2 = z * z;
    return z * (1.0f + z2 * (-1.0f / 6.0f + z2 * (1.0f / 120.0f + z2 * (-1.0f / 5040.0f +
                z2 * (1.0f / 362880.0f + z2 * (-1.0f / 39916800.0f))))));
}

// The value the next update of a smoother will give, without changing it.
inline float peekSmoother(const SettlingSmoother& settling, float target) {
    const ParamSmoother& s = settling.smoother;
    return s.jump ? target : s.a * s.value + s.oneMinusA * target;
}

// rand() scaled to 0..32767 whatever RAND_MAX the C library has.
inline int rand15() {
    return static_cast<int>(static_cast<long long>(std::rand()) * 32768 /
                            (static_cast<long long>(RAND_MAX) + 1));
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
        lowerSlot_[i] = -1;
        upperSlot_[i] = -1;
        slotSpanInverse_[i] = 0.0f;
    }
    prepare(44100.0f, nullptr);
}

void Oscillator::prepare(float sampleRate, const WtCollection* tables) {
    tables_ = tables;
    inverseSampleRate_ = (sampleRate > 0.0f && std::isfinite(sampleRate)) ? 1.0f / sampleRate : 0.0f;
    type_ = Off;  // until the next control step has cached levels of these tables
    const WtLevel* silent = &WtCollection::silentLevel();
    for (int r = 0; r < kRows; ++r) {
        main_.levels[r] = silent;
        for (OscState& copy : copies_) copy.levels[r] = silent;
    }
}

void Oscillator::resetPhase(float phaseParam) {
    const float start = phaseParam == 1.0f ? static_cast<float>(rand15()) / 32767.0f : phaseParam;
    main_.phase = wrapStartPhase(start);
    // Copies start spread out so that a fresh unison chord does not begin
    // with all copies in phase.
    for (int k = 0; k < kMaxUnison; ++k)
        copies_[k].phase = wrapStartPhase(main_.phase + 0.61803399f * static_cast<float>(k + 1));
    modPhase1_ = 0.0f;
    modPhase2_ = 0.0f;
}

void Oscillator::jumpSmoothers() {
    position_.reset();
    pan_.reset();
    volume_.reset();
    unisonMix_.reset();
    unisonSpread_.reset();
    index1_.reset();
    index2_.reset();
}

float Oscillator::unisonIncrement(int copy) const {
    return (copy >= 0 && copy < kMaxUnison) ? copies_[copy].increment : 0.0f;
}

void Oscillator::loadWaveSlots() {
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
        lowerSlot_[i] = lower;
        upperSlot_[i] = upper;
        slotSpanInverse_[i] = (lower >= 0 && upper != lower) ? 1.0f / static_cast<float>(upper - lower) : 0.0f;
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
        setupFm(params, T, osc, increment);
    else
        setupUnison(params, osc, increment);
    cacheLevels();
}

void Oscillator::setupUnison(const float* params, int osc, float increment) {
    // The copies are kept up to date even with the mix at 0, so a mix that
    // fades in between control steps finds them ready.
    const float mix = peekSmoother(unisonMix_, clamp01(params[Osc1UniMix + osc]));
    const int count = 1 + static_cast<int>(7.0f * clamp01(params[Osc1UniCount + osc]));
    const float detune = clamp01(params[Osc1UniDet + osc]);
    const float depth = detune * detune;
    unisonCount_ = count;
    for (int k = 0; k < count; ++k) copies_[k].increment = clamp01(increment * (1.0f + depth * kUnisonDetune[k]));
    if (count & 1)
        main_.increment = clamp01(increment * (1.0f + depth * kUnisonDetune[count] * mix * mix));
    else
        main_.increment = increment;
}

void Oscillator::setupFm(const float* params, const float* T, int osc, float increment) {
    const float amount1 = clamp01(params[Osc1Mod1Amt + osc] + T[TgtOsc1Mod1 + 2 * osc]);
    const float amount2 = clamp01(params[Osc1Mod2Amt + osc] + T[TgtOsc1Mod2 + 2 * osc]);
    indexTarget1_ = 5.0f * amount1 * amount1;
    indexTarget2_ = 5.0f * amount2 * amount2;
    const float ratio1 = 1.0f + 9.0f * T[TgtOsc1Ratio1 + 2 * osc] +
                         std::floor(18.0f * clamp01(params[Osc1Mod1Ratio + osc])) * 0.5f;
    const float ratio2 = 1.0f + 9.0f * T[TgtOsc1Ratio2 + 2 * osc] +
                         std::floor(18.0f * clamp01(params[Osc1Mod2Ratio + osc])) * 0.5f;
    main_.increment = increment;
    // Kept within one cycle per sample so the single wrap in advance() holds.
    modIncrement1_ = clamp01(ratio1 * increment);
    modIncrement2_ = clamp01(ratio2 * increment);
    unisonCount_ = 1;
}

void Oscillator::cacheLevels() {
    const int rows = type_ == Wave ? kRows : (type_ == Pulse ? 1 : 0);
    if (rows == 0) return;
    const WtLevel* silent = &WtCollection::silentLevel();
    for (int r = 0; r < rows; ++r) {
        main_.levels[r] = tables_ ? &tables_->findLevel(r, main_.increment) : silent;
        for (int k = 0; k < unisonCount_; ++k)
            copies_[k].levels[r] = tables_ ? &tables_->findLevel(r, copies_[k].increment) : silent;
    }
}

void Oscillator::selectRows(float position) {
    const float scaled = 16.0f * position;
    int slot = static_cast<int>(scaled);
    if (slot > kPositionSlots - 1) slot = kPositionSlots - 1;
    if (slot < 0) slot = 0;
    const int lower = lowerSlot_[slot];
    if (lower < 0) {
        rowA_ = rowB_ = -1;
        return;
    }
    const int upper = upperSlot_[slot];
    rowA_ = slotRow_[lower];
    rowB_ = slotRow_[upper];
    if (rowA_ == rowB_) {
        rowWeight_ = 0.0f;
        return;
    }
    rowWeight_ = clamp01((scaled - static_cast<float>(lower)) * slotSpanInverse_[slot]);
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

void Oscillator::blendCopies(int rowA, int rowB, float weight, float* out) {
    const int count = unisonCount_;
    int k = 0;
#if defined(__SSE2__)
    // Four copies at a time: the same operations in the same order as
    // blendRows, so every lane gives the scalar result bit for bit.
    const __m128 one = _mm_set1_ps(1.0f);
    const __m128 w = _mm_set1_ps(weight);
    const __m128i oneInt = _mm_set1_epi32(1);
    for (; k + 4 <= count; k += 4) {
        OscState* c = copies_ + k;
        const WtLevel* a[4] = {c[0].levels[rowA], c[1].levels[rowA], c[2].levels[rowA], c[3].levels[rowA]};
        const WtLevel* b[4] = {c[0].levels[rowB], c[1].levels[rowB], c[2].levels[rowB], c[3].levels[rowB]};
        if (a[0]->length != b[0]->length || a[1]->length != b[1]->length || a[2]->length != b[2]->length ||
            a[3]->length != b[3]->length)
            break;  // the scalar loop below handles the rest
        const __m128i length = _mm_set_epi32(a[3]->length, a[2]->length, a[1]->length, a[0]->length);
        const __m128 phase = _mm_set_ps(c[3].phase, c[2].phase, c[1].phase, c[0].phase);
        const __m128 x = _mm_mul_ps(phase, _mm_cvtepi32_ps(length));
        const __m128i i = _mm_cvttps_epi32(x);
        const __m128 frac = _mm_sub_ps(x, _mm_cvtepi32_ps(i));
        const __m128i mask = _mm_sub_epi32(length, oneInt);
        alignas(16) int lower[4], upper[4];
        _mm_store_si128(reinterpret_cast<__m128i*>(lower), _mm_and_si128(i, mask));
        _mm_store_si128(reinterpret_cast<__m128i*>(upper), _mm_and_si128(_mm_add_epi32(i, oneInt), mask));
        const __m128 a0 = _mm_set_ps(a[3]->samples[lower[3]], a[2]->samples[lower[2]], a[1]->samples[lower[1]],
                                     a[0]->samples[lower[0]]);
        const __m128 a1 = _mm_set_ps(a[3]->samples[upper[3]], a[2]->samples[upper[2]], a[1]->samples[upper[1]],
                                     a[0]->samples[upper[0]]);
        const __m128 b0 = _mm_set_ps(b[3]->samples[lower[3]], b[2]->samples[lower[2]], b[1]->samples[lower[1]],
                                     b[0]->samples[lower[0]]);
        const __m128 b1 = _mm_set_ps(b[3]->samples[upper[3]], b[2]->samples[upper[2]], b[1]->samples[upper[1]],
                                     b[0]->samples[upper[0]]);
        const __m128 va = _mm_add_ps(a0, _mm_mul_ps(_mm_sub_ps(a1, a0), frac));
        const __m128 vb = _mm_add_ps(b0, _mm_mul_ps(_mm_sub_ps(b1, b0), frac));
        _mm_storeu_ps(out + k, _mm_add_ps(va, _mm_mul_ps(w, _mm_sub_ps(vb, va))));

        const __m128 increment = _mm_set_ps(c[3].increment, c[2].increment, c[1].increment, c[0].increment);
        const __m128 advanced = _mm_add_ps(phase, increment);
        const __m128 wrapped = _mm_sub_ps(advanced, one);
        const __m128 wraps = _mm_cmpge_ps(advanced, one);
        alignas(16) float next[4];
        _mm_store_ps(next, _mm_or_ps(_mm_and_ps(wraps, wrapped), _mm_andnot_ps(wraps, advanced)));
        for (int l = 0; l < 4; ++l) c[l].phase = next[l];
    }
#endif
    for (; k < count; ++k) {
        OscState& copy = copies_[k];
        out[k] = blendRows(*copy.levels[rowA], *copy.levels[rowB], weight, copy.phase);
        advance(copy.phase, copy.increment);
    }
}

void Oscillator::mixWave(float mix, float spread, float& left, float& right) {
    // The row choice is fixed for the sample; held in locals so the phase
    // writes of the copies do not force it to be reloaded for every copy.
    const int rowA = rowA_, rowB = rowB_;
    const float weight = rowWeight_;
    if (weight == 0.0f) {
        auto single = [rowA](const OscState& s) { return WtCollection::read(*s.levels[rowA], s.phase); };
        mixUnison(single, [this, single](float* out) { sampleCopies(single, out); }, mix, spread, left, right);
    } else if (weight == 1.0f) {
        auto single = [rowB](const OscState& s) { return WtCollection::read(*s.levels[rowB], s.phase); };
        mixUnison(single, [this, single](float* out) { sampleCopies(single, out); }, mix, spread, left, right);
    } else {
        mixUnison([rowA, rowB, weight](const OscState& s) {
            return blendRows(*s.levels[rowA], *s.levels[rowB], weight, s.phase);
        }, [this, rowA, rowB, weight](float* out) { blendCopies(rowA, rowB, weight, out); }, mix, spread, left, right);
    }
}

float Oscillator::pulseSample(const OscState& state, float width) const {
    float shifted = state.phase + width;
    if (shifted > 1.0f) shifted -= 1.0f;
    const WtLevel& ramp = *state.levels[0];
    return WtCollection::read(ramp, state.phase) - WtCollection::read(ramp, shifted);
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

template <class SampleOf>
void Oscillator::sampleCopies(SampleOf sampleOf, float* out) {
    const int count = unisonCount_;
    for (int k = 0; k < count; ++k) {
        OscState& copy = copies_[k];
        out[k] = sampleOf(copy);
        advance(copy.phase, copy.increment);
    }
}

template <class SampleOf, class CopiesOf>
void Oscillator::mixUnison(SampleOf sampleOf, CopiesOf copiesOf, float mix, float spread, float& left,
                           float& right) {
    const float s = sampleOf(main_);
    advance(main_.phase, main_.increment);
    if (!(mix > 0.0f)) {
        left = right = s;
        return;
    }
    float c[kMaxUnison];
    copiesOf(c);
    const int count = unisonCount_;
    float sumLeft = 0.0f, sumRight = 0.0f;
    for (int k = 0; k < count; ++k) {
        const float side = spread * kUnisonPan[k];
        sumLeft += c[k] * (1.0f + side);
        sumRight += c[k] * (1.0f - side);
    }
    const float balance = (count & 1) ? mix * mix * spread * kUnisonPan[count] : 0.0f;
    left = mix * sumLeft + (1.0f + balance) * s;
    right = mix * sumRight + (1.0f - balance) * s;
}

void Oscillator::render(const float* params, const float* T, int osc, float& left, float& right) {
    osc = clampOsc(osc);
    const int t = osc * kTargetsPerOsc;
    const float position =
        position_.update(clamp01(params[Osc1Pos + osc] + T[TgtOsc1Pos + t] + T[TgtOscPos]));
    const float pan = pan_.update(clamp01(params[Osc1Pan + osc] + T[TgtOsc1Pan + t] + T[TgtOscPan]));
    const float volume = volume_.update(clamp01(params[Osc1Vol + osc] + T[TgtOsc1Vol + t] + T[TgtOscVol]));
    const float mix = unisonMix_.update(clamp01(params[Osc1UniMix + osc]));
    const float spread = unisonSpread_.update(clamp01(params[Osc1UniSprd + osc]));

    float l = 0.0f, r = 0.0f;
    switch (type_) {
        case Wave:
            selectRows(position);
            if (rowA_ >= 0) mixWave(mix, spread, l, r);
            break;
        case Pulse: {
            auto pulse = [this, position](const OscState& s) { return pulseSample(s, position); };
            mixUnison(pulse, [this, pulse](float* out) { sampleCopies(pulse, out); }, mix, spread, l, r);
            break;
        }
        case Fm:
            l = r = fmSample();
            break;
        default:
            break;
    }
    left = volume * (1.0f - pan) * l;
    right = volume * pan * r;
}
