#include "engine/filter.h"

#include "engine/fast_trig.h"

#include "params/value_mappings.h"

#include <cmath>
#include <limits>

#include "dsp/simd.h"

namespace {

constexpr float kDenormal = 1e-10f;
// tan(pi * 0.5) is a pole (and float rounding flips its sign), so the warped
// cutoff stops just short of Nyquist.
constexpr float kMaxWarpedCutoff = 0.4999f;

inline float clamp01(float x) { return x > 0.0f ? (x < 1.0f ? x : 1.0f) : 0.0f; }

// Clip to -1..1; NaN becomes 0.
inline float clipInput(float x) {
    if (x > 1.0f) return 1.0f;
    if (x >= -1.0f) return x;
    return x < -1.0f ? -1.0f : 0.0f;
}

inline float flush(float x) { return std::fabs(x) < kDenormal ? 0.0f : x; }

inline bool healthy(float sum) { return std::fabs(sum) < 1e20f; }  // false for NaN and inf

}  // namespace

void Filter::prepare(float sampleRate) {
    const bool valid = sampleRate > 0.0f && std::isfinite(sampleRate);
    sampleRate_ = valid ? sampleRate : 44100.0f;
    inverseSampleRate_ = 1.0f / sampleRate_;
    forgetSetup();
}

void Filter::forgetSetup() {
    for (float& input : setupInputs_) input = std::numeric_limits<float>::quiet_NaN();
}

void Filter::jumpSmoothers() {
    cutoff_.reset();
    resonance_.reset();
}

void Filter::clearState() {
    ladder_ = LadderState();
    svf_ = SvfState();
}

bool Filter::active() const { return type_ != Bypass; }

void Filter::setup(float typeParam, float cutoff, float resonance, float pitch, float track) {
    // The inputs mostly hold from sample to sample (NaN never matches).
    const float inputs[kSetupInputs] = {typeParam, cutoff, resonance, pitch, track};
    bool same = true;
    for (int i = 0; i < kSetupInputs; ++i) same = same && inputs[i] == setupInputs_[i];
    if (same) return;
    for (int i = 0; i < kSetupInputs; ++i) setupInputs_[i] = inputs[i];

    int type = choiceValue(typeParam);
    if (type < Bypass || type > Peaking) type = Bypass;
    type_ = type;
    if (type_ == Bypass) return;

    const float c = clamp01(cutoff);
    const float c2 = c * c;
    const float f = (20.0f + 20980.0f * c2 * c2 * c) * inverseSampleRate_;
    // Pitch and tracking rarely change between samples; the power is the
    // costly part of the set-up.
    if (!(pitch == trackedPitch_ && track == trackAmount_)) {
        trackedPitch_ = pitch;
        trackAmount_ = track;
        trackingFactor_ = std::pow(2.0f, (pitch - 57.0f) / 12.0f * track);
        if (trackingFactor_ != trackingFactor_) trackingFactor_ = 1.0f;  // NaN pitch or tracking: the plain cutoff
    }
    const float tracking = trackingFactor_;
    const float tracked = f * tracking;
    cutoffTarget_ = tracked > 0.0f ? (tracked < 0.5f ? tracked : 0.5f) : 0.0f;
    resonanceTarget_ = clamp01(resonance);
}

void Filter::process(float& left, float& right) { processRun(&left, &right, 1); }

void Filter::processRun(float* left, float* right, int count, const float* cutoffTargets,
                        const float* resonanceTargets) {
    if (type_ == Bypass) return;
    if (type_ == Lowpass24)
        runLadder(left, right, count, cutoffTargets, resonanceTargets);
    else
        runSvf(left, right, count, cutoffTargets, resonanceTargets);
}

// The smoothed cutoff and resonance of the next sample, with the coefficients made for them.
bool Filter::advanceSmoothers(bool ladder) {
    const float cutoff = cutoff_.update(cutoffTarget_);
    const float resonance = resonance_.update(resonanceTarget_);
    return ladder ? setLadderCoefficients(cutoff, resonance) : setSvfCoefficients(cutoff, resonance);
}

float Filter::warpedCutoff(float cutoff) {
    // The smoothed cutoff settles, so the tangent mostly repeats.
    if (!(cutoff == warpedFrom_)) {
        warpedFrom_ = cutoff;
        warped_ = tanPi(cutoff < kMaxWarpedCutoff ? cutoff : kMaxWarpedCutoff);
    }
    return warped_;
}

bool Filter::setLadderCoefficients(float cutoff, float resonance) {
    if (coefficientType_ == Lowpass24 && cutoff == coefficientCutoff_ && resonance == coefficientResonance_)
        return false;
    coefficientType_ = Lowpass24;
    coefficientCutoff_ = cutoff;
    coefficientResonance_ = resonance;
    g_ = warpedCutoff(cutoff);
    k_ = resonance * 4.4444447f;
    gain_ = resonance * 2.5f + 1.122018f;
    // Both channels share the one-pole gains of the four stages.
    ladderR_ = 1.0f / (1.0f + g_);
    const float G = g_ * ladderR_;
    const float G2 = G * G;
    ladderG4_ = G2 * G2;
    ladderS1_ = G2 * G * ladderR_;
    ladderS2_ = G2 * ladderR_;
    ladderS3_ = G * ladderR_;
    return true;
}

bool Filter::setSvfCoefficients(float cutoff, float resonance) {
    if (coefficientType_ == type_ && cutoff == coefficientCutoff_ && resonance == coefficientResonance_)
        return false;
    coefficientType_ = type_;
    coefficientCutoff_ = cutoff;
    coefficientResonance_ = resonance;
    if (type_ == Peaking) resonance *= 0.6f;
    const float g = warpedCutoff(cutoff);
    const float k = 1.0f / (resonance * resonance * 9.5f + 0.5f);
    g_ = g;
    k_ = k;
    a1_ = flush(1.0f / (1.0f + g * (g + k)));
    a2_ = flush(a1_ * g);
    a3_ = flush(a2_ * g);
    switch (type_) {
        case Lowpass12: m0_ = 0.0f; m1_ = 0.0f; m2_ = 1.0f; break;
        case Highpass: m0_ = 1.0f; m1_ = -k; m2_ = -1.0f; break;
        case Bandpass: m0_ = 0.0f; m1_ = 1.0f; m2_ = 0.0f; break;
        case Bandstop: m0_ = 1.0f; m1_ = -k; m2_ = 0.0f; break;
        default: m0_ = 1.0f; m1_ = -k; m2_ = -2.0f; break;  // Peaking
    }
    return true;
}

#if TVX_SSE2

namespace {

inline __m128 flush(__m128 x) {
    const __m128 magnitude = _mm_andnot_ps(_mm_set1_ps(-0.0f), x);
    return _mm_andnot_ps(_mm_cmplt_ps(magnitude, _mm_set1_ps(kDenormal)), x);
}

// All bits set in the lanes whose sum is healthy.
inline __m128 healthyLanes(__m128 sum) {
    const __m128 magnitude = _mm_andnot_ps(_mm_set1_ps(-0.0f), sum);
    return _mm_cmplt_ps(magnitude, _mm_set1_ps(1e20f));
}

inline float lane1(__m128 v) { return _mm_cvtss_f32(_mm_shuffle_ps(v, v, _MM_SHUFFLE(1, 1, 1, 1))); }

}  // namespace

// The operations of the scalar form below, in the same order, with both
// channels side by side in lanes 0 and 1 and the state kept in registers.
// A channel whose state went bad is cleared and gives 0.
void Filter::runLadder(float* left, float* right, int count, const float* cutoffTargets,
                       const float* resonanceTargets) {
    LadderState& c = ladder_;
    __m128 s1 = _mm_load_ps(c.s1), s2 = _mm_load_ps(c.s2), s3 = _mm_load_ps(c.s3), s4 = _mm_load_ps(c.s4);
    __m128 previous = _mm_load_ps(c.previousInput);
    for (int i = 0; i < count; ++i) {
        const __m128 x = _mm_setr_ps(clipInput(left[i]), clipInput(right[i]), 0.0f, 0.0f);
        takeTargets(cutoffTargets, resonanceTargets, i);
        advanceSmoothers(true);
        const __m128 g = _mm_set1_ps(g_), k = _mm_set1_ps(k_), r = _mm_set1_ps(ladderR_);
        const __m128 G4 = _mm_set1_ps(ladderG4_);
        const __m128 twoG = _mm_set1_ps(2.0f * g_);

        const __m128 u = _mm_sub_ps(_mm_mul_ps(_mm_add_ps(x, previous), _mm_set1_ps(0.5f)), _mm_mul_ps(k, s4));
        previous = x;
        const __m128 u2 = _mm_mul_ps(u, u);
        const __m128 numerator =
            _mm_add_ps(_mm_mul_ps(_mm_add_ps(u2, _mm_set1_ps(105.0f)), u2), _mm_set1_ps(945.0f));
        const __m128 denominator = _mm_add_ps(
            _mm_mul_ps(_mm_add_ps(_mm_mul_ps(_mm_set1_ps(15.0f), u2), _mm_set1_ps(420.0f)), u2),
            _mm_set1_ps(945.0f));
        const __m128 h = _mm_div_ps(numerator, denominator);

        __m128 sum = _mm_add_ps(_mm_mul_ps(_mm_set1_ps(ladderS1_), s1), _mm_mul_ps(_mm_set1_ps(ladderS2_), s2));
        sum = _mm_add_ps(sum, _mm_mul_ps(_mm_set1_ps(ladderS3_), s3));
        sum = _mm_add_ps(sum, _mm_mul_ps(r, s4));
        sum = _mm_add_ps(sum, _mm_mul_ps(_mm_mul_ps(h, G4), x));
        __m128 y4 = _mm_div_ps(sum, _mm_add_ps(_mm_set1_ps(1.0f), _mm_mul_ps(_mm_mul_ps(k, h), G4)));
        const __m128 input = _mm_mul_ps(_mm_sub_ps(x, _mm_mul_ps(k, y4)), h);
        const __m128 y1 = _mm_mul_ps(_mm_add_ps(_mm_mul_ps(g, input), s1), r);
        s1 = flush(_mm_add_ps(_mm_mul_ps(twoG, _mm_sub_ps(input, y1)), s1));
        const __m128 y2 = _mm_mul_ps(_mm_add_ps(_mm_mul_ps(g, y1), s2), r);
        s2 = flush(_mm_add_ps(_mm_mul_ps(twoG, _mm_sub_ps(y1, y2)), s2));
        const __m128 y3 = _mm_mul_ps(_mm_add_ps(_mm_mul_ps(g, y2), s3), r);
        s3 = flush(_mm_add_ps(_mm_mul_ps(twoG, _mm_sub_ps(y2, y3)), s3));
        s4 = flush(_mm_add_ps(_mm_mul_ps(twoG, _mm_sub_ps(y3, y4)), s4));

        const __m128 healthy =
            healthyLanes(_mm_add_ps(_mm_add_ps(_mm_add_ps(_mm_add_ps(s1, s2), s3), s4), y4));
        previous = _mm_and_ps(previous, healthy);
        s1 = _mm_and_ps(s1, healthy);
        s2 = _mm_and_ps(s2, healthy);
        s3 = _mm_and_ps(s3, healthy);
        s4 = _mm_and_ps(s4, healthy);
        y4 = _mm_and_ps(y4, healthy);
        left[i] = _mm_cvtss_f32(y4) * gain_;
        right[i] = lane1(y4) * gain_;
    }
    _mm_store_ps(c.s1, s1);
    _mm_store_ps(c.s2, s2);
    _mm_store_ps(c.s3, s3);
    _mm_store_ps(c.s4, s4);
    _mm_store_ps(c.previousInput, previous);
}

void Filter::runSvf(float* left, float* right, int count, const float* cutoffTargets,
                    const float* resonanceTargets) {
    SvfState& c = svf_;
    __m128 ic1 = _mm_load_ps(c.ic1), ic2 = _mm_load_ps(c.ic2);
    for (int i = 0; i < count; ++i) {
        const __m128 x = _mm_setr_ps(clipInput(left[i]), clipInput(right[i]), 0.0f, 0.0f);
        takeTargets(cutoffTargets, resonanceTargets, i);
        advanceSmoothers(false);
        const __m128 a1 = _mm_set1_ps(a1_), a2 = _mm_set1_ps(a2_), a3 = _mm_set1_ps(a3_);
        const __m128 e = _mm_sub_ps(x, ic2);
        const __m128 bp = _mm_add_ps(_mm_mul_ps(a1, ic1), _mm_mul_ps(a2, e));
        const __m128 lp = _mm_add_ps(_mm_add_ps(ic2, _mm_mul_ps(a2, ic1)), _mm_mul_ps(a3, e));
        const __m128 next1 = flush(_mm_sub_ps(_mm_mul_ps(_mm_set1_ps(2.0f), bp), ic1));
        const __m128 next2 = flush(_mm_sub_ps(_mm_mul_ps(_mm_set1_ps(2.0f), lp), ic2));
        __m128 y = _mm_add_ps(_mm_add_ps(_mm_mul_ps(_mm_set1_ps(m0_), x), _mm_mul_ps(_mm_set1_ps(m1_), bp)),
                              _mm_mul_ps(_mm_set1_ps(m2_), lp));
        const __m128 healthy = healthyLanes(_mm_add_ps(_mm_add_ps(next1, next2), y));
        ic1 = _mm_and_ps(next1, healthy);
        ic2 = _mm_and_ps(next2, healthy);
        y = _mm_and_ps(y, healthy);
        left[i] = _mm_cvtss_f32(y);
        right[i] = lane1(y);
    }
    _mm_store_ps(c.ic1, ic1);
    _mm_store_ps(c.ic2, ic2);
}

#else

void Filter::runLadder(float* left, float* right, int count, const float* cutoffTargets,
                       const float* resonanceTargets) {
    LadderState& c = ladder_;
    for (int i = 0; i < count; ++i) {
        const float in[2] = {clipInput(left[i]), clipInput(right[i])};
        takeTargets(cutoffTargets, resonanceTargets, i);
        advanceSmoothers(true);
        const float g = g_, k = k_, r = ladderR_, G4 = ladderG4_;
        float out[2];
        for (int lane = 0; lane < 2; ++lane) {
            const float x = in[lane];
            const float u = (x + c.previousInput[lane]) * 0.5f - k * c.s4[lane];
            c.previousInput[lane] = x;
            const float u2 = u * u;
            const float h = ((u2 + 105.0f) * u2 + 945.0f) / ((15.0f * u2 + 420.0f) * u2 + 945.0f);

            const float y4 = (ladderS1_ * c.s1[lane] + ladderS2_ * c.s2[lane] + ladderS3_ * c.s3[lane] +
                              r * c.s4[lane] + h * G4 * x) /
                             (1.0f + k * h * G4);
            const float input = (x - k * y4) * h;
            const float y1 = (g * input + c.s1[lane]) * r;
            c.s1[lane] = flush(2.0f * g * (input - y1) + c.s1[lane]);
            const float y2 = (g * y1 + c.s2[lane]) * r;
            c.s2[lane] = flush(2.0f * g * (y1 - y2) + c.s2[lane]);
            const float y3 = (g * y2 + c.s3[lane]) * r;
            c.s3[lane] = flush(2.0f * g * (y2 - y3) + c.s3[lane]);
            c.s4[lane] = flush(2.0f * g * (y3 - y4) + c.s4[lane]);

            out[lane] = y4;
            if (!healthy(c.s1[lane] + c.s2[lane] + c.s3[lane] + c.s4[lane] + y4)) {
                c.previousInput[lane] = c.s1[lane] = c.s2[lane] = c.s3[lane] = c.s4[lane] = 0.0f;
                out[lane] = 0.0f;
            }
        }
        left[i] = out[0] * gain_;
        right[i] = out[1] * gain_;
    }
}

void Filter::runSvf(float* left, float* right, int count, const float* cutoffTargets,
                    const float* resonanceTargets) {
    SvfState& c = svf_;
    for (int i = 0; i < count; ++i) {
        const float in[2] = {clipInput(left[i]), clipInput(right[i])};
        takeTargets(cutoffTargets, resonanceTargets, i);
        advanceSmoothers(false);
        float out[2];
        for (int lane = 0; lane < 2; ++lane) {
            const float x = in[lane];
            const float e = x - c.ic2[lane];
            const float bp = a1_ * c.ic1[lane] + a2_ * e;
            const float lp = c.ic2[lane] + a2_ * c.ic1[lane] + a3_ * e;
            c.ic1[lane] = flush(2.0f * bp - c.ic1[lane]);
            c.ic2[lane] = flush(2.0f * lp - c.ic2[lane]);
            const float y = m0_ * x + m1_ * bp + m2_ * lp;
            out[lane] = y;
            if (!healthy(c.ic1[lane] + c.ic2[lane] + y)) {
                c.ic1[lane] = c.ic2[lane] = 0.0f;
                out[lane] = 0.0f;
            }
        }
        left[i] = out[0];
        right[i] = out[1];
    }
}

#endif
