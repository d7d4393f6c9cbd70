#pragma once

#include <cmath>

#include "dsp/param_smoother.h"

namespace tvx {

// -120 dBFS: what an effect may still put out when it is taken for silent.
constexpr float kSilenceLevel = 1e-6f;

// True when the next update with this target gives the value as it stands,
// so that skipping updates leaves the smoother where updating would.
inline bool holdsAt(const ParamSmoother& s, float target) {
    if (s.jump) return false;
    float next = s.a * s.value + s.oneMinusA * target;
    if (std::fabs(next) < 1e-20f) next = 0.0f;
    return next == s.value;
}

// Follows one effect through silence. Once its input has been silent and
// its output below kSilenceLevel for as long as the effect remembers, its
// tail has ended: it may rest while the input stays silent, and what it
// still holds is too quiet to matter when it comes back.
struct IdleWatch {
    long long quietSamples = 0;
    bool resting = false;

    void wake() {
        quietSamples = 0;
        resting = false;
    }

    // After a run processed with silent input; settled: nothing in the
    // effect moves on its own any more.
    void heard(const float* left, const float* right, int count, int memory, bool settled) {
        float peak = 0.0f;
        for (int i = 0; i < count; ++i) peak = std::fmax(peak, std::fmax(std::fabs(left[i]), std::fabs(right[i])));
        quietSamples = peak <= kSilenceLevel ? quietSamples + count : 0;
        resting = settled && quietSamples >= memory;
    }
};

}  // namespace tvx
