#include "engine/lfo.h"

#include "engine/fast_trig.h"

#include <cmath>

#include "dsp/simd.h"

#include "params/note_division.h"
#include "params/value_mappings.h"

namespace tvx {

namespace {

constexpr float kTwoPi = 6.2831853f;
constexpr float kPi = 3.14159265f;
constexpr float kInverseTwoPi = 1.0f / kTwoPi;
constexpr float kDefaultSampleRate = 44100.0f;
constexpr float kDefaultTempo = 120.0f;
constexpr int kDefaultDenominator = 4;
// The pulse width of "Random Pulse" spans 0.1 .. 0.1 + 0.9 * 2 pi radians.
constexpr float kPulseWidthSpan = 5.6548667f;
constexpr float kPulseWidthMin = 0.1f;

// NaN fails both comparisons and ends at 0.
float clampUnit(float x) { return x > 0.0f ? (x < 1.0f ? x : 1.0f) : 0.0f; }

const int kShapeOfMenu[Lfo::kNumMenuShapes] = {
    Lfo::Triangle, Lfo::Sine, Lfo::Square, Lfo::SawDown,
    Lfo::RandomHold, Lfo::RandomGlide, Lfo::RandomPulse,
};

}  // namespace

void Lfo::prepare(float fs) {
    sampleRate = (std::isfinite(fs) && fs > 0.0f) ? fs : kDefaultSampleRate;
    shape = Sine;
    phase = 0.0f;
    phaseParam = 0.0f;
    period = sampleRate;
    if (period > kMaxPeriod) period = kMaxPeriod;
    increment = kTwoPi / period;
    fadeIncrement = 1.0f;
    fadeLevel = 0.0f;
    offset = 0.0f;
    drawRandom();
}

int Lfo::shapeFromMenu(float v) {
    if (std::isnan(v)) return Triangle;
    int menu = choiceValue(v < 0.0f ? 0.0f : (v > kNumMenuShapes - 1 ? kNumMenuShapes - 1 : v));
    return kShapeOfMenu[menu];
}

void Lfo::setShape(float lfoTypeParam) { shape = shapeFromMenu(lfoTypeParam); }

float Lfo::frequencyHz(float rateValue, bool sync, float tempo, int denominator) {
    float x = clampUnit(rateValue);
    if (!sync) return lfoRateHz(x);
    if (!(std::isfinite(tempo) && tempo > 0.0f)) tempo = kDefaultTempo;
    if (denominator <= 0) denominator = kDefaultDenominator;
    return lfoDivisionHz(x, denominator, tempo);
}

void Lfo::setRate(float rateValue, bool sync, float tempo, int denominator) {
    float p = sampleRate / frequencyHz(rateValue, sync, tempo, denominator);
    // Extreme tempos give a zero, infinite or NaN period; keep the phase step finite.
    if (std::isnan(p)) p = sampleRate;
    if (p < kMinPeriod) p = kMinPeriod;
    if (p > kMaxPeriod) p = kMaxPeriod;
    period = p;
    increment = kTwoPi / period;
}

void Lfo::setOffset(float offsetParam) {
    offset = std::isnan(offsetParam) ? 0.0f : clampUnit(offsetParam) - 0.5f;
}

void Lfo::setAttack(float attackParam) {
    float a = clampUnit(attackParam);
    // Up to 20 s; whole samples so the fade ends on a sample boundary.
    float length = std::trunc(lfoAttackSeconds(a) * sampleRate);
    fadeIncrement = length > 0.0f ? 1.0f / length : 1.0f;
}

void Lfo::restart(float startPhase) {
    phaseParam = clampUnit(startPhase);
    phase = phaseParam * kTwoPi;
    fadeLevel = 0.0f;
    drawRandom();
}

void Lfo::drawRandom() {
    heldValue = nextValue;
    if (!random) return;
    int c = random->next() % 101;
    while (c == previousRandom) c = random->next() % 101;
    previousRandom = c;
    nextValue = static_cast<float>(c) * 0.01f;
    randomSlope = (nextValue - heldValue) / period;
}

float Lfo::shapeValue() {
    switch (shape) {
    case Sine:
        return 0.5f * sinCycles(phase * kInverseTwoPi);
    case Cosine:
        return 0.5f * sinCycles(phase * kInverseTwoPi + 0.25f);
    case Triangle: {
        float t = phase / kPi;
        if (t > 1.5f) return t - 2.0f;
        if (t > 0.5f) return 1.0f - t;
        return t;
    }
    case Square:
        return phase > kPi ? -0.5f : 0.5f;
    case SawDown:
        return 0.5f - phase / kTwoPi;
    case SawUp:
        return phase / kTwoPi - 0.5f;
    case RandomHold:
        return heldValue - 0.5f;
    case RandomGlide:
        heldValue += randomSlope;
        // A slower rate set mid-cycle would otherwise let the glide run past its goal.
        heldValue = clampUnit(heldValue);
        return heldValue - 0.5f;
    case RandomPulse:
        return phase > heldValue * kPulseWidthSpan + kPulseWidthMin ? -0.5f : 0.5f;
    default:
        return 0.0f;
    }
}

inline void Lfo::step() {
    phase += increment;
    if (phase >= kTwoPi) {
        phase -= kTwoPi;
        if (shape > SawUp) drawRandom();
    }
    if (fadeLevel < 1.0f) fadeLevel += fadeIncrement;
}

float Lfo::process() {
    float value = shapeValue();
    step();
    return (value + offset) * fadeLevel;
}

float Lfo::advance(int count) {
    // Only the random glide changes state while its value is taken.
    if (shape == RandomGlide) {
        for (int i = 1; i < count; ++i) process();
        return process();
    }
    // The same steps as step(), on local copies the compiler can keep in registers.
    float p = phase, fade = fadeLevel;
    const bool draws = shape > SawUp;
    for (int i = 1; i < count; ++i) {
        p += increment;
        if (p >= kTwoPi) {
            p -= kTwoPi;
            if (draws) drawRandom();
        }
        if (fade < 1.0f) fade += fadeIncrement;
    }
    phase = p;
    fadeLevel = fade;
    return process();
}

#if TVX_SSE2
namespace {

// The operations of step(), lane by lane, for samples 1..count - 1; returns
// the fade levels. kFading: some lane has not faded in yet.
template <bool kFading>
__m128 stepSideBySide(Lfo* lfos, int used, int draws, __m128 increment, __m128 fadeIncrement, __m128& phase,
                      __m128 fade, int count) {
    const __m128 twoPi = _mm_set1_ps(kTwoPi), one = _mm_set1_ps(1.0f);
    for (int i = 1; i < count; ++i) {
        phase = _mm_add_ps(phase, increment);
        const __m128 wraps = _mm_cmpge_ps(phase, twoPi);
        phase = _mm_sub_ps(phase, _mm_and_ps(wraps, twoPi));
        const int drawing = _mm_movemask_ps(wraps) & draws;
        if (drawing)
            for (int l = 0; l < used; ++l)
                if (drawing & (1 << l)) lfos[l].drawRandom();
        if (kFading) fade = _mm_add_ps(fade, _mm_and_ps(_mm_cmplt_ps(fade, one), fadeIncrement));
    }
    return fade;
}

}  // namespace
#endif

void Lfo::advanceSideBySide(Lfo* lfos, int used, int count, float* outputs) {
#if TVX_SSE2
    bool glides = false;
    for (int l = 0; l < used; ++l) glides = glides || lfos[l].shape == RandomGlide;
    if (!glides && used > 1 && used <= 4) {
        alignas(16) float phase[4] = {}, increment[4] = {}, fade[4] = {1.0f, 1.0f, 1.0f, 1.0f},
                          fadeIncrement[4] = {};
        int draws = 0;
        for (int l = 0; l < used; ++l) {
            phase[l] = lfos[l].phase;
            increment[l] = lfos[l].increment;
            fade[l] = lfos[l].fadeLevel;
            fadeIncrement[l] = lfos[l].fadeIncrement;
            if (lfos[l].shape > SawUp) draws |= 1 << l;
        }
        const __m128 one = _mm_set1_ps(1.0f);
        __m128 p = _mm_load_ps(phase), f = _mm_load_ps(fade);
        // Faded in: the levels stay where they are.
        const bool fading = _mm_movemask_ps(_mm_cmplt_ps(f, one)) != 0;
        if (fading)
            f = stepSideBySide<true>(lfos, used, draws, _mm_load_ps(increment), _mm_load_ps(fadeIncrement), p, f,
                                     count);
        else
            stepSideBySide<false>(lfos, used, draws, _mm_load_ps(increment), _mm_setzero_ps(), p, f, count);
        _mm_store_ps(phase, p);
        _mm_store_ps(fade, f);
        for (int l = 0; l < used; ++l) {
            lfos[l].phase = phase[l];
            lfos[l].fadeLevel = fade[l];
            outputs[l] = lfos[l].process();
        }
        return;
    }
#endif
    for (int l = 0; l < used; ++l) outputs[l] = lfos[l].advance(count);
}

}  // namespace tvx
