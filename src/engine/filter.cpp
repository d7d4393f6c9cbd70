#include "engine/filter.h"

#include "engine/fast_trig.h"

#include "params/value_mappings.h"

#include <cmath>
#include <limits>

#include "dsp/simd.h"
#include "engine/filter_steps.h"

namespace tvx {

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
    cutoff_.jumpToNextTarget();
    resonance_.jumpToNextTarget();
}

void Filter::clear() {
    ladder_ = LadderState();
    svf_ = SvfState();
}

bool Filter::active() const { return type_ != Bypass; }

void Filter::setUp(float typeParam, float cutoff, float resonance, float pitch, float track) {
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
    const float f = cutoffHz(c) * inverseSampleRate_;
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

// Both channels side by side in lanes 0 and 1, the state kept in registers;
// the coefficients are made again whenever the smoothers moved.
template <class Channel, class Coefficients, class Advance, class Make, class Step>
void runStereo(Channel& channel, float* left, float* right, int count, Advance advance, Make make, Step step) {
    Coefficients k{};
    bool loaded = false;
    for (int i = 0; i < count; ++i) {
        const __m128 x = filter_sse::clipInput(_mm_setr_ps(left[i], right[i], 0.0f, 0.0f));
        if (advance(i) || !loaded) {
            k = make();
            loaded = true;
        }
        const __m128 y = step(channel, k, x);
        left[i] = _mm_cvtss_f32(y);
        right[i] = _mm_cvtss_f32(_mm_shuffle_ps(y, y, _MM_SHUFFLE(1, 1, 1, 1)));
    }
}

}  // namespace

void Filter::runLadder(float* left, float* right, int count, const float* cutoffTargets,
                       const float* resonanceTargets) {
    LadderState& c = ladder_;
    filter_sse::LadderChannel channel{_mm_load_ps(c.s1), _mm_load_ps(c.s2), _mm_load_ps(c.s3), _mm_load_ps(c.s4),
                                      _mm_load_ps(c.previousInput)};
    runStereo<filter_sse::LadderChannel, filter_sse::LadderCoefficients>(
        channel, left, right, count,
        [&](int i) {
            takeTargets(cutoffTargets, resonanceTargets, i);
            return advanceSmoothers(true);
        },
        [this] {
            return filter_sse::LadderCoefficients{
                _mm_set1_ps(g_),         _mm_set1_ps(k_),         _mm_set1_ps(ladderR_),
                _mm_set1_ps(ladderG4_),  _mm_set1_ps(2.0f * g_),  _mm_set1_ps(ladderS1_),
                _mm_set1_ps(ladderS2_),  _mm_set1_ps(ladderS3_),  _mm_set1_ps(gain_)};
        },
        filter_sse::ladderStep);
    _mm_store_ps(c.s1, channel.s1);
    _mm_store_ps(c.s2, channel.s2);
    _mm_store_ps(c.s3, channel.s3);
    _mm_store_ps(c.s4, channel.s4);
    _mm_store_ps(c.previousInput, channel.previous);
}

void Filter::runSvf(float* left, float* right, int count, const float* cutoffTargets,
                    const float* resonanceTargets) {
    SvfState& c = svf_;
    filter_sse::SvfChannel channel{_mm_load_ps(c.ic1), _mm_load_ps(c.ic2)};
    runStereo<filter_sse::SvfChannel, filter_sse::SvfCoefficients>(
        channel, left, right, count,
        [&](int i) {
            takeTargets(cutoffTargets, resonanceTargets, i);
            return advanceSmoothers(false);
        },
        [this] {
            return filter_sse::SvfCoefficients{_mm_set1_ps(a1_), _mm_set1_ps(a2_), _mm_set1_ps(a3_),
                                               _mm_set1_ps(m0_), _mm_set1_ps(m1_), _mm_set1_ps(m2_)};
        },
        filter_sse::svfStep);
    _mm_store_ps(c.ic1, channel.ic1);
    _mm_store_ps(c.ic2, channel.ic2);
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

}  // namespace tvx
