#include "engine/envelope.h"

#include <cmath>

#include "params/value_mappings.h"

namespace tvx {

namespace {

constexpr float kDefaultSampleRate = 44100.0f;
// Long enough that the fall is no steeper than a mid-range tone's own
// slope, short enough to sound like the instant stop that release 0 asks for.
constexpr double kReleaseFadeSeconds = 0.001;

// NaN fails both comparisons and ends at 0, so a broken value means "instant".
float clampUnit(float x) { return x > 0.0f ? (x < 1.0f ? x : 1.0f) : 0.0f; }

}  // namespace

void Envelope::prepare(float fs) {
    sampleRate = (std::isfinite(fs) && fs > 0.0f) ? fs : kDefaultSampleRate;
}

double Envelope::segmentLength(float time, float fs) {
    return envelopeSeconds(clampUnit(time)) * static_cast<double>(fs);
}

double Envelope::segmentCoeff(double ratio, double length) {
    if (!(length > 0.0)) return 0.0;
    return std::exp(-std::log(ratio) / length);
}

double Envelope::releaseFadeStep(float fs) { return 1.0 / (kReleaseFadeSeconds * static_cast<double>(fs)); }

double Envelope::SegmentCache::coeff(double curve, double segmentLength) {
    if (!(segmentLength == length && curve == curveOf)) {
        length = segmentLength;
        curveOf = curve;
        value = segmentCoeff((1.0 + curve) / curve, segmentLength);
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
    releaseOffset = -decayCurve * (1.0 - releaseCoeff);
    if (releaseLength == 0.0) {
        // The same recurrence, as a straight fall.
        releaseCoeff = 1.0;
        releaseOffset = -releaseFadeStep(sampleRate);
    }
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
        if (level <= static_cast<double>(sustain)) {
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
            const float held = static_cast<float>(level);
            for (; n < count; ++n) out[n] = held;
            return count;
        }
        setSustain(sustainTarget);
        out[n] = process();
        if (state == Idle) return n + 1;
    }
    return count;
}

float Envelope::run(float sustainTarget, int count) {
    float last = static_cast<float>(level);
    for (int n = 0; n < count; ++n) {
        if (holdsSustain(sustainTarget)) return last;
        setSustain(sustainTarget);
        last = process();
    }
    return last;
}

void Envelope::start() { state = Attack; }

void Envelope::release() {
    if (state != Idle) state = Release;
}

void Envelope::reset() {
    state = Idle;
    level = 0.0;
    sustainSmoother.jumpToNextTarget();
}

}  // namespace tvx
