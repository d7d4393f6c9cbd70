#include "engine/fast_trig_lanes.h"

#include "dsp/simd.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace tvx {

// The vector forms exist where the build has SSE2 (not in the scalar build).
#if TVX_SSE2

namespace {

// Inputs where the branches of the scalar form turn (the reductions at
// whole, half and quarter cycles, just beside them), a dense sweep over
// several turns both ways, and what no phase should be but may become:
// huge, beyond the int range, infinite, NaN.
std::vector<float> sineInputs() {
    std::vector<float> x;
    for (int i = -800000; i <= 800000; ++i) x.push_back(static_cast<float>(i) * 1e-5f);
    for (float edge : {0.0f, 0.25f, 0.5f, 0.75f, 1.0f, 1.25f, 1.5f, 3.0f, 7.5f}) {
        for (float sign : {1.0f, -1.0f}) {
            const float e = sign * edge;
            x.push_back(e);
            x.push_back(std::nextafter(e, 100.0f));
            x.push_back(std::nextafter(e, -100.0f));
        }
    }
    for (float odd : {-0.0f, FLT_MIN, -FLT_MIN, 1e-30f, 1e-45f, 12345.678f, -98765.43f, 2.1e9f, -2.2e9f, 3e9f, 1e20f,
                      -1e20f, FLT_MAX, INFINITY, -INFINITY, NAN})
        x.push_back(odd);
    while (x.size() % 8 != 0) x.push_back(0.125f);
    return x;
}

std::uint32_t bitsOf(float v) {
    std::uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    return bits;
}

#if TVX_AVX2
TVX_TARGET_AVX2 void sinesEightAtATime(const std::vector<float>& x, std::vector<float>& out) {
    for (std::size_t i = 0; i < x.size(); i += 8) _mm256_storeu_ps(&out[i], sinCyclesLanes(_mm256_loadu_ps(&x[i])));
}
#endif

}  // namespace

// Every lane of the vector forms gives what the scalar sine gives, bit for
// bit, so that the "FM" stretches sound as the sample-by-sample path.
TEST(FastTrigLanes, SineLanesGiveTheScalarSineBitForBit) {
    const std::vector<float> x = sineInputs();
    std::vector<float> four(x.size()), eight(x.size());
    for (std::size_t i = 0; i < x.size(); i += 4) _mm_storeu_ps(&four[i], sinCyclesLanes(_mm_loadu_ps(&x[i])));
    bool eightChecked = false;
#if TVX_AVX2
    if (hasAvx2()) {
        sinesEightAtATime(x, eight);
        eightChecked = true;
    }
#endif
    for (std::size_t i = 0; i < x.size(); ++i) {
        const float scalar = sinCycles(x[i]);
        ASSERT_EQ(bitsOf(four[i]), bitsOf(scalar)) << "SSE2, x = " << x[i];
        if (eightChecked) {
            ASSERT_EQ(bitsOf(eight[i]), bitsOf(scalar)) << "AVX2, x = " << x[i];
        }
    }
}

#endif

}  // namespace tvx
