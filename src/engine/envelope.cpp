#include "engine/envelope.h"

#include <cmath>

#include "params/value_mappings.h"

namespace {

constexpr float kDefaultSampleRate = 44100.0f;

// NaN fails both comparisons and ends at 0, so a broken value means "instant".
float clampUnit(float x) { return x > 0.0f ? (x < 1.0f ? x : 1.0f) : 0.0f; }

}  // namespace

void Envelope::prepare(float fs) {
    sampleRate = (std::isfinite(fs) && fs > 0.0f) ? fs : kDefaultSampleRate;
}

float Envelope::segmentLength(float time, float fs) {
    return envelopeSeconds(clampUnit(time)) * fs;
}

double Envelope::segmentCoeff(double ratio, float length) {
    if (!(length > 0.0f)) return 0.0;
    return std::exp(-std::log(ratio) / static_cast<double>(length));
}

double Envelope::SegmentCache::coeff(float curve, float segmentLength) {
    if (!(segmentLength == length && curve == curveOf)) {
        length = segmentLength;
        curveOf = curve;
        const double c = curve;
        value = segmentCoeff((1.0 + c) / c, segmentLength);
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

    attackOffset = (1.0 + attackCurve) * (1.0 - attackCoeff);
    decayOffset = (1.0 - decayCoeff) * (static_cast<double>(sustain) - decayCurve);
    releaseOffset = -static_cast<double>(decayCurve) * (1.0 - releaseCoeff);
}

void Envelope::setSustain(float target) {
    sustain = sustainSmoother.update(clampUnit(target));
    decayOffset = (1.0 - decayCoeff) * (static_cast<double>(sustain) - decayCurve);
}

float Envelope::process() {
    switch (state) {
    case Attack:
        level = attackCoeff * level + attackOffset;
        if (level >= 1.0) {
            level = 1.0;
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
        if (level <= 0.0) {
            level = 0.0;
            state = Idle;
        }
        break;
    default:
        break;
    }
    return static_cast<float>(level);
}

bool Envelope::holdsSustain(float target) const {
    return state == Sustain && sustainSmoother.settledAt(clampUnit(target));
}

int Envelope::runUntilIdle(float sustainTarget, float* out, int count) {
    for (int n = 0; n < count; ++n) {
        // A settled sustain gives the same level for the rest of the run.
        if (holdsSustain(sustainTarget)) {
            const float level = static_cast<float>(this->level);
            for (; n < count; ++n) out[n] = level;
            return count;
        }
        setSustain(sustainTarget);
        out[n] = process();
        if (state == Idle) return n + 1;
    }
    return count;
}

float Envelope::run(float sustainTarget, int count) {
    float level = static_cast<float>(this->level);
    for (int n = 0; n < count; ++n) {
        if (holdsSustain(sustainTarget)) return level;
        setSustain(sustainTarget);
        level = process();
    }
    return level;
}

void Envelope::start() { state = Attack; }

void Envelope::release() {
    if (state != Idle) state = Release;
}

void Envelope::reset() {
    state = Idle;
    level = 0.0;
    sustainSmoother.reset();
}
