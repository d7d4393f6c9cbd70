#include "engine/filter.h"

#include "params/value_mappings.h"

#include <cmath>

namespace {

constexpr float kPi = 3.14159265f;
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
}

void Filter::jumpSmoothers() {
    cutoff_.reset();
    resonance_.reset();
}

void Filter::clearState() {
    ladder_[0] = ladder_[1] = LadderChannel();
    svf_[0] = svf_[1] = SvfChannel();
}

bool Filter::active() const { return type_ != Bypass; }

void Filter::setup(float typeParam, float cutoff, float resonance, float pitch, float track) {
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

void Filter::process(float& left, float& right) {
    if (type_ == Bypass) return;
    left = clipInput(left);
    right = clipInput(right);
    const float cutoff = cutoff_.update(cutoffTarget_);
    const float resonance = resonance_.update(resonanceTarget_);
    if (type_ == Lowpass24)
        processLadder(cutoff, resonance, left, right);
    else
        processSvf(cutoff, resonance, left, right);
}

float Filter::warpedCutoff(float cutoff) {
    // The smoothed cutoff settles, so the tangent mostly repeats.
    if (!(cutoff == warpedFrom_)) {
        warpedFrom_ = cutoff;
        warped_ = std::tan(kPi * (cutoff < kMaxWarpedCutoff ? cutoff : kMaxWarpedCutoff));
    }
    return warped_;
}

void Filter::processLadder(float cutoff, float resonance, float& left, float& right) {
    g_ = warpedCutoff(cutoff);
    k_ = resonance * 4.4444447f;
    gain_ = resonance * 2.5f + 1.122018f;
    // Both channels share the one-pole gains of the four stages.
    LadderGains gains;
    gains.r = 1.0f / (1.0f + g_);
    const float G = g_ * gains.r;
    const float G2 = G * G;
    gains.G4 = G2 * G2;
    gains.s1 = G2 * G * gains.r;
    gains.s2 = G2 * gains.r;
    gains.s3 = G * gains.r;
    left = runLadder(ladder_[0], gains, left) * gain_;
    right = runLadder(ladder_[1], gains, right) * gain_;
}

float Filter::runLadder(LadderChannel& c, const LadderGains& gains, float x) const {
    const float g = g_, k = k_;
    const float r = gains.r;
    const float G4 = gains.G4;

    const float u = (x + c.previousInput) * 0.5f - k * c.s4;
    c.previousInput = x;
    const float u2 = u * u;
    const float h = ((u2 + 105.0f) * u2 + 945.0f) / ((15.0f * u2 + 420.0f) * u2 + 945.0f);

    const float y4 = (gains.s1 * c.s1 + gains.s2 * c.s2 + gains.s3 * c.s3 + r * c.s4 + h * G4 * x) /
                     (1.0f + k * h * G4);
    const float in = (x - k * y4) * h;
    const float y1 = (g * in + c.s1) * r;
    c.s1 = flush(2.0f * g * (in - y1) + c.s1);
    const float y2 = (g * y1 + c.s2) * r;
    c.s2 = flush(2.0f * g * (y1 - y2) + c.s2);
    const float y3 = (g * y2 + c.s3) * r;
    c.s3 = flush(2.0f * g * (y2 - y3) + c.s3);
    c.s4 = flush(2.0f * g * (y3 - y4) + c.s4);

    if (!healthy(c.s1 + c.s2 + c.s3 + c.s4 + y4)) {
        c = LadderChannel();
        return 0.0f;
    }
    return y4;
}

void Filter::processSvf(float cutoff, float resonance, float& left, float& right) {
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
    left = runSvf(svf_[0], left);
    right = runSvf(svf_[1], right);
}

float Filter::runSvf(SvfChannel& c, float x) const {
    const float e = x - c.ic2;
    const float bp = a1_ * c.ic1 + a2_ * e;
    const float lp = c.ic2 + a2_ * c.ic1 + a3_ * e;
    c.ic1 = flush(2.0f * bp - c.ic1);
    c.ic2 = flush(2.0f * lp - c.ic2);
    const float y = m0_ * x + m1_ * bp + m2_ * lp;
    if (!healthy(c.ic1 + c.ic2 + y)) {
        c = SvfChannel();
        return 0.0f;
    }
    return y;
}
