#include "engine/envelope.h"

#include <cmath>

namespace {

constexpr float kDefaultSampleRate = 44100.0f;
constexpr float kMaxSegmentSeconds = 20.0f;

// NaN fails both comparisons and ends at 0, so a broken value means "instant".
float clampUnit(float x) { return x > 0.0f ? (x < 1.0f ? x : 1.0f) : 0.0f; }

}  // namespace

void Envelope::prepare(float fs) {
    sampleRate = (std::isfinite(fs) && fs > 0.0f) ? fs : kDefaultSampleRate;
}

float Envelope::segmentLength(float time, float fs) {
    float x = clampUnit(time);
    return kMaxSegmentSeconds * x * x * x * fs;
}

float Envelope::segmentCoeff(float ratio, float length) {
    if (!(length > 0.0f)) return 0.0f;
    return std::exp(-std::log(ratio) / length);
}

float Envelope::SegmentCache::coeff(float curve, float segmentLength) {
    if (!(segmentLength == length && curve == curveOf)) {
        length = segmentLength;
        curveOf = curve;
        value = segmentCoeff((1.0f + curve) / curve, segmentLength);
    }
    return value;
}

void Envelope::setTimes(float attack, float decay, float release) {
    attackLength = segmentLength(attack, sampleRate);
    decayLength = segmentLength(decay, sampleRate);
    releaseLength = segmentLength(release, sampleRate);

    attackCoeff = attackCache.coeff(attackCurve, attackLength);
    decayCoeff = decayCache.coeff(decayCurve, decayLength);
    releaseCoeff = releaseCache.coeff(decayCurve, releaseLength);

    attackOffset = (1.0f + attackCurve) * (1.0f - attackCoeff);
    decayOffset = (1.0f - decayCoeff) * (sustain - decayCurve);
    releaseOffset = -decayCurve * (1.0f - releaseCoeff);
}

void Envelope::setSustain(float target) {
    sustain = sustainSmoother.update(clampUnit(target));
    decayOffset = (1.0f - decayCoeff) * (sustain - decayCurve);
}

float Envelope::process() {
    switch (state) {
    case Attack:
        level = attackCoeff * level + attackOffset;
        if (level >= 1.0f) {
            level = 1.0f;
            state = Decay;
        }
        break;
    case Decay:
        level = decayCoeff * level + decayOffset;
        if (level <= sustain) {
            level = sustain;
            state = Sustain;
        }
        break;
    case Sustain:
        level = sustain;
        break;
    case Release:
        level = releaseCoeff * level + releaseOffset;
        if (level <= 0.0f) {
            level = 0.0f;
            state = Idle;
        }
        break;
    default:
        break;
    }
    return level;
}

void Envelope::start() { state = Attack; }

void Envelope::release() {
    if (state != Idle) state = Release;
}

void Envelope::reset() {
    state = Idle;
    level = 0.0f;
    sustainSmoother.reset();
}
