#pragma once

#include <cmath>
#include <limits>
#include <vector>

#include "params/parameter_id.h"
#include "params/parameter_table.h"

namespace tvx {

// Parameter array with the defaults, every effect stage off or neutral.
struct EffectParams {
    std::vector<float> values;
    EffectParams() : values(kNumParameters) { fillDefaultValues(values.data()); }
    float& operator[](int id) { return values[static_cast<size_t>(id)]; }
    const float* data() const { return values.data(); }
};

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

inline float testSine(int i, float hertz, float sampleRate) {
    return std::sin(6.2831853f * hertz * static_cast<float>(i) / sampleRate);
}

// Peak level of `process` applied to a unit sine, after it has settled.
template <typename Process>
float sineGain(Process process, float hertz, float sampleRate) {
    int total = static_cast<int>(sampleRate);  // one second
    float peak = 0.0f;
    for (int i = 0; i < total; ++i) {
        float l = testSine(i, hertz, sampleRate), r = l;
        process(l, r);
        if (i > total / 2) peak = std::fmax(peak, std::fabs(l));
    }
    return peak;
}

}  // namespace tvx
