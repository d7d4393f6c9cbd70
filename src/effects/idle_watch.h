#pragma once

#include <cmath>

namespace tvx {

// -120 dBFS: what an effect may still put out when it is taken for silent.
constexpr float kSilenceLevel = 1e-6f;

// What a resting effect may still hold in any line or filter: so little
// that what it would have made of it stays far below kSilenceLevel.
constexpr float kQuietStateLevel = 0.01f * kSilenceLevel;

// Follows one effect through silence. Once its input has been silent and
// its output below kSilenceLevel for as long as the effect remembers, the
// effect is weighed from inside (quietInside(kQuietStateLevel)): whatever
// it still holds must be too quiet to matter when it comes back, because a
// resting effect keeps it as it was.
struct IdleWatch {
    long long quietSamples = 0;
    bool ready = false;   // weighed and found quiet: it may rest

    void wake() {
        quietSamples = 0;
        ready = false;
    }

    // After a run processed with silent input: whether the output has now
    // been quiet for `memory` samples, the time to look inside.
    bool heard(const float* left, const float* right, int count, int memory) {
        float peak = 0.0f;
        for (int i = 0; i < count; ++i) peak = std::fmax(peak, std::fmax(std::fabs(left[i]), std::fabs(right[i])));
        if (peak > kSilenceLevel) {
            quietSamples = 0;
            return false;
        }
        quietSamples += count;
        return quietSamples >= memory;
    }

    // The effect was weighed: ready, or look again after another `memory` samples.
    void weighed(bool quietInside) {
        ready = quietInside;
        if (!quietInside) quietSamples = 0;
    }
};

}  // namespace tvx
