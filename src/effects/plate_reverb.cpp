#include "effects/plate_reverb.h"

#include <initializer_list>

#include <algorithm>
#include <cmath>

#include "effects/idle_watch.h"
#include "effects/unit_range.h"
#include "params/parameter_id.h"

namespace tvx {

namespace {

constexpr float kLowpassCutoff = 18500.0f;
constexpr float kDiffuserSeconds[4] = {0.0048f, 0.0036f, 0.0127f, 0.0093f};
constexpr float kDiffuserGain[4] = {0.75f, 0.75f, 0.625f, 0.625f};
constexpr float kEarlyLeftTaps[6] = {0.0219f, 0.0354f, 0.0389f, 0.0414f, 0.0692f, 0.0f};
constexpr float kEarlyRightTaps[6] = {0.011f, 0.0182f, 0.0189f, 0.0213f, 0.0431f, 0.0f};
constexpr float kEarlyWeights[6] = {0.6f, 0.4f, 0.3f, 0.3f, 0.1f, 0.1f};

int samplesOf(float sampleRate, float seconds) { return static_cast<int>(sampleRate * seconds); }

}  // namespace

void PlateReverb::Ramp::aim(float target, int samples) {
    // An empty block renders nothing, so there is nothing to ramp across.
    increment = samples > 0 ? (target - value) / static_cast<float>(samples) : 0.0f;
}

PlateReverb::PlateReverb() { prepare(44100.0f); }

void PlateReverb::prepare(float sampleRate) {
    sampleRate_ = sampleRate;
    samplesPerMs_ = std::max(1, static_cast<int>(sampleRate) / 1000);
    earlyLeft_.allocate(sampleRate, 0.089f);
    earlyRight_.allocate(sampleRate, 0.069f);
    preDelay_.allocate(sampleRate, 0.0f);
    for (int i = 0; i < 4; ++i) diffusers_[i].allocate(sampleRate, kDiffuserSeconds[i]);
    tankA_.allpass1.allocate(sampleRate, 0.02f);
    tankA_.delay1.allocate(sampleRate, 0.15f);
    tankA_.allpass2.allocate(sampleRate, 0.06f);
    tankA_.delay2.allocate(sampleRate, 0.12f);
    tankB_.allpass1.allocate(sampleRate, 0.03f);
    tankB_.delay1.allocate(sampleRate, 0.14f);
    tankB_.allpass2.allocate(sampleRate, 0.089f);
    tankB_.delay2.allocate(sampleRate, 0.11f);
    mix_.prepare(sampleRate);
    clear();
}

void PlateReverb::jumpSmoothers() { mix_.jumpToNextTarget(); }

void PlateReverb::setCoefficients() {
    for (ReverbLowpass* lp : {&inputLeft_, &inputRight_, &tankA_.damping, &tankB_.damping})
        lp->setCutoff(kLowpassCutoff, sampleRate_);
}

void PlateReverb::setFixedLengths() {
    earlyLeft_.setLength(samplesOf(sampleRate_, 0.089f));
    earlyRight_.setLength(samplesOf(sampleRate_, 0.069f));
    for (int i = 0; i < 6; ++i) {
        earlyLeftTaps_[i] = earlyLeft_.tapOffset(samplesOf(sampleRate_, kEarlyLeftTaps[i]));
        earlyRightTaps_[i] = earlyRight_.tapOffset(samplesOf(sampleRate_, kEarlyRightTaps[i]));
    }
    preDelay_.setLength(0);  // kept at one sample by the line
    for (int i = 0; i < 4; ++i) diffusers_[i].setLength(samplesOf(sampleRate_, kDiffuserSeconds[i]));
}

void PlateReverb::setTankSize(float s) {
    sizeFactor_ = s;
    float fs = sampleRate_;
    tankA_.allpass1.setLength(static_cast<int>(fs * 0.02f * s));
    tankA_.delay1.setLength(static_cast<int>(fs * 0.15f * s));
    tankA_.allpass2.setLength(static_cast<int>(fs * 0.06f * s));
    tankA_.delay2.setLength(static_cast<int>(fs * 0.12f * s));
    tankB_.allpass1.setLength(static_cast<int>(fs * 0.03f * s));
    tankB_.delay1.setLength(static_cast<int>(fs * 0.14f * s));
    tankB_.allpass2.setLength(static_cast<int>(fs * 0.089f * s));
    tankB_.delay2.setLength(static_cast<int>(fs * 0.11f * s));
    auto tap = [fs, s](const ReverbLine& line, float k) {
        return line.tapOffset(static_cast<int>(fs * s * k));
    };
    tapB1a_ = tap(tankB_.delay1, 0.099f);
    tapB1b_ = tap(tankB_.delay1, 0.0089f);
    tapB2ap_ = tap(tankB_.allpass2, 0.031f);
    tapB2_ = tap(tankB_.delay2, 0.067f);
    tapA1_ = tap(tankA_.delay1, 0.067f);
    tapA2ap_ = tap(tankA_.allpass2, 0.006f);
    tapA2_ = tap(tankA_.delay2, 0.036f);
    tapA1c_ = tap(tankA_.delay1, 0.121f);
    tapA1d_ = tap(tankA_.delay1, 0.011f);
    tapA2apR_ = tap(tankA_.allpass2, 0.041f);
    tapA2R_ = tap(tankA_.delay2, 0.089f);
    tapB1R_ = 0;
    tapB2apR_ = tap(tankB_.allpass2, 0.011f);
    tapB2R_ = tap(tankB_.delay2, 0.0041f);
}

void PlateReverb::clear() {
    for (ReverbLine* line : {&earlyLeft_, &earlyRight_, &preDelay_, &diffusers_[0], &diffusers_[1],
                             &diffusers_[2], &diffusers_[3]})
        line->clear();
    for (TankHalf* half : {&tankA_, &tankB_}) {
        half->allpass1.clear();
        half->delay1.clear();
        half->allpass2.clear();
        half->delay2.clear();
        half->damping.clear();
    }
    inputLeft_.clear();
    inputRight_.clear();
    feedA_ = feedB_ = 0.0f;
    coefficientCounter_ = 0;
    setCoefficients();
    setFixedLengths();
    setTankSize(sizeFactor_);
    lastSize_ = -1.0f;
    needsClear_ = false;
}

void PlateReverb::beginBlock(const float* params, int blockLength) {
    if (!(params[ReverbMix] > 0.0f)) {
        if (needsClear_) clear();
        return;
    }
    // NaN would differ from itself and clear the tank on every block.
    float size = clampUnit(params[ReverbSize]);
    if (size != lastSize_) {
        lastSize_ = size;
        for (TankHalf* half : {&tankA_, &tankB_}) {
            half->allpass1.clear();
            half->delay1.clear();
            half->allpass2.clear();
            half->delay2.clear();
        }
        setTankSize(0.95f * size + 0.05f);
    }
    decay_.aim((1.0f - clampUnit(params[ReverbDamp])) * 0.7995f + 0.005f, blockLength);
    width_.aim(clampUnit(params[ReverbWidth]) * 0.5f, blockLength);
    needsClear_ = true;
}

bool PlateReverb::settled(const float* params) const {
    return holdsAt(mix_, clampUnit(params[ReverbMix]) * 0.5f);
}

void PlateReverb::rest(int count) {
    for (Ramp* ramp : {&decay_, &width_})
        if (ramp->increment != 0.0f)
            for (int i = 0; i < count; ++i) ramp->value += ramp->increment;
    // setCoefficients() gives the same coefficients every time.
    coefficientCounter_ = (coefficientCounter_ + count) % samplesPerMs_;
}

bool PlateReverb::quietInside(float level) const {
    for (const ReverbLine* line : {&earlyLeft_, &earlyRight_, &preDelay_, &diffusers_[0], &diffusers_[1],
                                   &diffusers_[2], &diffusers_[3]})
        if (!line->quietBelow(level)) return false;
    for (const TankHalf* half : {&tankA_, &tankB_})
        if (!half->allpass1.quietBelow(level) || !half->delay1.quietBelow(level) ||
            !half->allpass2.quietBelow(level) || !half->delay2.quietBelow(level) || !half->damping.quietBelow(level))
            return false;
    return std::fabs(feedA_) < level && std::fabs(feedB_) < level && inputLeft_.quietBelow(level) &&
           inputRight_.quietBelow(level);
}

int PlateReverb::memorySamples() const {
    int total = earlyLeft_.length() + earlyRight_.length() + preDelay_.length();
    for (const ReverbLine& d : diffusers_) total += d.length();
    for (const TankHalf* half : {&tankA_, &tankB_})
        total += half->allpass1.length() + half->delay1.length() + half->allpass2.length() + half->delay2.length();
    return total;
}

float PlateReverb::earlyLeft(float l, float r) {
    float e[6];
    for (int i = 0; i < 6; ++i) e[i] = earlyLeft_.tap(earlyLeftTaps_[i]);
    float e0 = earlyLeft_.push(r * 0.3f + l * 0.5f);
    float sum = e0;
    for (int i = 0; i < 6; ++i) sum += kEarlyWeights[i] * e[i];
    return sum + (r * 0.2f + l * 0.4f) * 0.5f;
}

float PlateReverb::earlyRight(float l, float r) {
    float e[6];
    for (int i = 0; i < 6; ++i) e[i] = earlyRight_.tap(earlyRightTaps_[i]);
    float e0 = earlyRight_.push(r * 0.5f + l * 0.3f);
    float sum = e0;
    for (int i = 0; i < 6; ++i) sum += kEarlyWeights[i] * e[i];
    return sum + (r * 0.4f + l * 0.2f) * 0.5f;
}

void PlateReverb::process(const float* params, float& left, float& right) {
    float mix = mix_.update(clampUnit(params[ReverbMix]) * 0.5f);
    decay_.value += decay_.increment;
    width_.value += width_.increment;
    if (++coefficientCounter_ >= samplesPerMs_) {
        coefficientCounter_ = 0;
        setCoefficients();
    }
    float decay = decay_.value;
    float diffusion = std::min(std::max(decay + 0.15f, 0.25f), 0.5f);

    float l = inputLeft_.process(left);
    float r = inputRight_.process(right);
    float earlyL = earlyLeft(l, r);
    float earlyR = earlyRight(l, r);

    float x = preDelay_.push((r + l) * 0.5f);
    for (int i = 0; i < 4; ++i) x = diffusers_[i].allpass(x, kDiffuserGain[i]);

    float a = tankA_.allpass1.allpass(x + feedB_, 0.5f);
    a = tankA_.damping.process(tankA_.delay1.push(a));
    float endA = tankA_.delay2.push(tankA_.allpass2.allpass(a, diffusion));

    float b = tankB_.allpass1.allpass(x + feedA_, 0.5f);
    b = tankB_.damping.process(tankB_.delay1.push(b));
    float endB = tankB_.delay2.push(tankB_.allpass2.allpass(b, diffusion));

    feedB_ = decay * endB;
    feedA_ = decay * endA;

    float tankL = 0.6f * tankB_.delay1.tap(tapB1a_) + 0.6f * tankB_.delay1.tap(tapB1b_) -
                  0.6f * tankB_.allpass2.tap(tapB2ap_) + 0.6f * tankB_.delay2.tap(tapB2_) -
                  0.6f * tankA_.delay1.tap(tapA1_) - 0.6f * tankA_.allpass2.tap(tapA2ap_) -
                  0.6f * tankA_.delay2.tap(tapA2_);
    float tankR = 0.6f * tankA_.delay1.tap(tapA1c_) + 0.6f * tankA_.delay1.tap(tapA1d_) -
                  0.6f * tankA_.allpass2.tap(tapA2apR_) + 0.6f * tankA_.delay2.tap(tapA2R_) -
                  0.6f * tankB_.delay1.tap(tapB1R_) - 0.6f * tankB_.allpass2.tap(tapB2apR_) -
                  0.6f * tankB_.delay2.tap(tapB2R_);

    float yR = 0.5f * tankR + 0.5f * earlyR;
    float yL = 0.5f * tankL + 0.5f * earlyL;
    float w = width_.value;
    float wetL = (0.5f - w) * yR + (w + 0.5f) * yL;
    float wetR = (0.5f - w) * yL + (w + 0.5f) * yR;
    left = (1.0f - mix) * left + mix * wetL;
    right = (1.0f - mix) * right + mix * wetR;
}

}  // namespace tvx
