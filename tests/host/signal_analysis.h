#pragma once

#include <cmath>
#include <cstddef>
#include <vector>

namespace tvx {

// Measurements on rendered audio, used by the host tests to judge a sound
// from the outside: pitch, level, note onsets and sanity of the samples.
namespace signal_analysis {

inline float peak(const std::vector<float>& x, size_t begin = 0, size_t end = static_cast<size_t>(-1)) {
    float p = 0.0f;
    for (size_t i = begin; i < x.size() && i < end; ++i) p = std::fmax(p, std::fabs(x[i]));
    return p;
}

inline bool allFinite(const std::vector<float>& x) {
    for (float v : x)
        if (!std::isfinite(v)) return false;
    return true;
}

// Frequency from the upward zero crossings in [begin, end), each placed
// between its two samples by linear interpolation; 0 with fewer than two.
inline double zeroCrossingFrequency(const std::vector<float>& x, size_t begin, size_t end, double sampleRate) {
    double first = -1.0, last = -1.0;
    int crossings = 0;
    for (size_t i = begin + 1; i < end && i < x.size(); ++i) {
        if (x[i - 1] < 0.0f && x[i] >= 0.0f) {
            double at = static_cast<double>(i - 1) + static_cast<double>(x[i - 1]) / (static_cast<double>(x[i - 1]) - static_cast<double>(x[i]));
            if (crossings == 0) first = at;
            last = at;
            ++crossings;
        }
    }
    if (crossings < 2) return 0.0;
    return (crossings - 1) * sampleRate / (last - first);
}

// Sample indices where the signal rises above `threshold` after at least
// `quietGap` samples at or below it.
inline std::vector<size_t> onsets(const std::vector<float>& x, float threshold, size_t quietGap) {
    std::vector<size_t> found;
    size_t quiet = quietGap;
    for (size_t i = 0; i < x.size(); ++i) {
        if (std::fabs(x[i]) > threshold) {
            if (quiet >= quietGap) found.push_back(i);
            quiet = 0;
        } else {
            ++quiet;
        }
    }
    return found;
}

}  // namespace signal_analysis

}  // namespace tvx
