#include "engine/oscillator.h"

#include "engine/oscillator_fm_lanes.h"
#include "engine/oscillator_reads.h"

#include "params/modulation_codes.h"
#include "params/parameter_id.h"
#include "params/value_mappings.h"

#include <cmath>

#include "dsp/simd.h"

namespace tvx {

namespace {

constexpr float kUnisonDetune[Oscillator::kMaxUnison] = {
    +0.01991221f, -0.01952356f, +0.06216538f, -0.06288439f,
    +0.10745242f, -0.11002313f, +0.14627282f, -0.16924234f};
constexpr const float* kUnisonPan = Oscillator::kUnisonPan;
constexpr int kTargetsPerOsc = TgtOsc2Tune - TgtOsc1Tune;

// NaN goes to the lower bound.
inline float clamp01(float x) { return x > 0.0f ? (x < 1.0f ? x : 1.0f) : 0.0f; }

inline int clampOsc(int osc) { return osc < 0 ? 0 : (osc > 2 ? 2 : osc); }

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

using namespace oscillator_reads;

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

void Oscillator::prepareTables(WtCollection& tables) {
    for (int f = 0; f + 1 < kFilledSlots; ++f) tables.buildRowPair(kFilledSlotRows[f], kFilledSlotRows[f + 1]);
}

void Oscillator::loadWaveSlots() {
    selectedPosition_ = -1.0f;
    for (int i = 0; i < kPositionSlots; ++i) slotRow_[i] = -1;
    for (int f = 0; f < kFilledSlots; ++f) slotRow_[f * kFilledSlotStep] = kFilledSlotRows[f];

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
    const int count = tvx::unisonCount(clamp01(params[Osc1UniCount + osc]));
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
        mainIndex = tables_->findLevelIndexNear(0, main_.increment, cached_.main);
        tables_->findLevelIndicesNear(0, lanes_.increment, unisonCount_, mainIndex, copyIndex);
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
    cacheRowPairs(rows, shared, mainIndex, copyIndex);
}

// The interleaved pairs of each row with the next filled slot's row, where
// the tables hold them for every copy's level.
void Oscillator::cacheRowPairs(int rows, bool shared, int mainIndex, const int* copyIndex) {
    pairsReady_ = rows == kRows && shared && uniformLength_ > 0;
    for (int r = 0; r < kRows && pairsReady_; ++r) {
        const int partner = pairPartner(r);
        main_.pairs[r] = partner < 0 ? nullptr : tables_->rowPairSamples(r, partner, mainIndex);
        pairsReady_ = main_.pairs[r] != nullptr;
        for (int k = 0; k < kMaxUnison && pairsReady_; ++k) {
            lanes_.pairs[r][k] =
                k < unisonCount_ ? tables_->rowPairSamples(r, partner, copyIndex[k]) : lanes_.pairs[r][0];
            pairsReady_ = lanes_.pairs[r][k] != nullptr;
        }
    }
}

int Oscillator::pairPartner(int row) {
    for (int f = 0; f + 1 < kFilledSlots; ++f)
        if (kFilledSlotRows[f] == row) return kFilledSlotRows[f + 1];
    return -1;
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

#if TVX_SSE2
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
    const float carrier = fm_lanes::chain(main_.phase, modPhase1_, modPhase2_, index1, index2);
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
#if TVX_SSE2
            renderFm(smoothed, left, right, count);
#else
            renderSounds(smoothed, left, right, count,
                         [this](float, float, float, float& l, float& r) { l = r = fmSample(); });
#endif
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

}  // namespace tvx
