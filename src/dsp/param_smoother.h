#pragma once

#include <cmath>

namespace tvx {

// One-pole smoother: value = a * value + (1 - a) * target, with a jump flag
// that makes the next update take the target at once.
struct ParamSmoother {
    float timeMs = 40.0f;
    float value = 0.0f;
    float a = 0.99644463f;  // exp(-2 pi / (44100 * 0.040))
    float oneMinusA = 1.0f - 0.99644463f;
    bool jump = true;

    void prepare(float sampleRate, float timeInMs = 40.0f) {
        timeMs = timeInMs;
        a = std::exp(-6.2831853f / (sampleRate * timeMs * 0.001f));
        oneMinusA = 1.0f - a;
        value = 0.0f;
        jump = true;
    }

    // The next update takes its target at once.
    void jumpToNextTarget() { jump = true; }

    float update(float target) {
        if (jump) {
            value = target;
            jump = false;
        } else {
            value = a * value + oneMinusA * target;
        }
        if (std::fabs(value) < 1e-20f) value = 0.0f;
        // A NaN or infinite target must not stay in the state: the next valid
        // target is taken at once.
        if (!std::isfinite(value)) {
            value = 0.0f;
            jump = true;
        }
        return value;
    }
};

// True when the next update with this target gives the value as it stands,
// so that skipping updates leaves the smoother where updating would.
inline bool holdsAt(const ParamSmoother& s, float target) {
    if (s.jump) return false;
    float next = s.a * s.value + s.oneMinusA * target;
    if (std::fabs(next) < 1e-20f) next = 0.0f;
    return next == s.value;
}

}  // namespace tvx
