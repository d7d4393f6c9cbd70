#include "engine/oscillator_fm_lanes.h"

#include "engine/oscillator.h"

#include "dsp/random_source.h"
#include "dsp/simd.h"

#include "params/modulation_codes.h"
#include "params/parameter_id.h"
#include "params/parameter_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace tvx {

// The vector forms exist where the build has SSE2 (not in the scalar build).
#if TVX_SSE2

namespace {

#if TVX_AVX2
TVX_TARGET_AVX2 void chainsEightAtATime(const float* const* in, float* out, int count) {
    for (int i = 0; i < count; i += 8)
        _mm256_storeu_ps(out + i, fm_lanes::chain(_mm256_loadu_ps(in[0] + i), _mm256_loadu_ps(in[1] + i),
                                                  _mm256_loadu_ps(in[2] + i), _mm256_loadu_ps(in[3] + i),
                                                  _mm256_loadu_ps(in[4] + i)));
}
#endif

}  // namespace

// The chain in four or eight lanes gives the one-sample chain bit for bit,
// for phases anywhere in the cycle and indices up to the largest (5).
TEST(OscillatorFmLanes, ChainLanesGiveTheOneSampleChainBitForBit) {
    constexpr int kCount = 40000;
    RandomSource random{11};
    auto uniform = [&random](float scale) { return scale * static_cast<float>(random.next()) / 32767.0f; };
    std::vector<float> carrier(kCount), phase1(kCount), phase2(kCount), index1(kCount), index2(kCount);
    for (int i = 0; i < kCount; ++i) {
        carrier[i] = uniform(1.0f);
        phase1[i] = uniform(1.0f);
        phase2[i] = uniform(1.0f);
        index1[i] = uniform(5.0f);
        index2[i] = uniform(5.0f);
    }
    std::vector<float> four(kCount), eight(kCount);
    for (int i = 0; i < kCount; i += 4)
        _mm_storeu_ps(&four[i], fm_lanes::chain(_mm_loadu_ps(&carrier[i]), _mm_loadu_ps(&phase1[i]),
                                                _mm_loadu_ps(&phase2[i]), _mm_loadu_ps(&index1[i]),
                                                _mm_loadu_ps(&index2[i])));
    bool eightChecked = false;
#if TVX_AVX2
    if (hasAvx2()) {
        const float* in[5] = {carrier.data(), phase1.data(), phase2.data(), index1.data(), index2.data()};
        chainsEightAtATime(in, eight.data(), kCount);
        eightChecked = true;
    }
#endif
    for (int i = 0; i < kCount; ++i) {
        const float scalar = fm_lanes::chain(carrier[i], phase1[i], phase2[i], index1[i], index2[i]);
        ASSERT_EQ(std::memcmp(&four[i], &scalar, sizeof scalar), 0) << i;
        if (eightChecked) {
            ASSERT_EQ(std::memcmp(&eight[i], &scalar, sizeof scalar), 0) << i;
        }
    }
}

#endif

// Indices, volume and pan on the move, stretches of every length a voice
// asks for (whole control periods and the pieces a block boundary leaves):
// "FM" rendered a stretch at a time, with AVX2 where the processor has it
// or with SSE2 only, sounds as it does sample by sample, bit for bit.
TEST(OscillatorFmLanes, FmStretchesSoundAsSampleBySample) {
    float params[kNumParameters];
    fillDefaultValues(params);
    params[Osc1Type] = Oscillator::Fm;
    params[Osc1Mod1Amt] = 0.6f;
    params[Osc1Mod2Amt] = 0.4f;
    params[Osc1Mod1Ratio] = 0.2f;
    params[Osc1Mod2Ratio] = 0.35f;
    params[Osc1Vol] = 0.7f;
    WtCollection tables;
    tables.build(44100.0f);
    const int lengths[] = {65, 61, 4, 57, 8, 1, 3, 65, 7, 9, 16, 63, 2, 65, 5};
    auto play = [&](bool stretches) {
        float T[kNumModTargets] = {};
        Oscillator o;
        o.prepare(44100.0f, &tables);
        o.resetPhase(0.3f);
        std::vector<float> left, right;
        for (int period = 0; period < 120; ++period) {
            const float t = static_cast<float>(period);
            T[TgtOsc1Mod1] = 0.3f * std::sin(0.21f * t);
            T[TgtOsc1Mod2] = 0.3f * std::cos(0.13f * t);
            T[TgtOsc1Vol] = -0.2f + 0.2f * std::sin(0.17f * t);
            T[TgtOsc1Pan] = 0.3f * std::sin(0.09f * t);
            o.controlStep(params, T, 0, 7.0f + 0.1f * t, 440.0f);
            const int length = lengths[period % (sizeof lengths / sizeof lengths[0])];
            const std::size_t start = left.size();
            left.resize(start + static_cast<std::size_t>(length), 0.0f);
            right.resize(start + static_cast<std::size_t>(length), 0.0f);
            if (stretches) {
                o.renderAdding(params, T, 0, &left[start], &right[start], length);
            } else {
                for (int i = 0; i < length; ++i) o.renderAdding(params, T, 0, &left[start + i], &right[start + i], 1);
            }
        }
        return std::make_pair(left, right);
    };
    avx2Forbidden() = true;
    const auto reference = play(false);
    const auto sse2 = play(true);
    avx2Forbidden() = false;
    const auto widest = play(true);
    ASSERT_GT(*std::max_element(reference.first.begin(), reference.first.end()), 0.1f);
    EXPECT_EQ(sse2.first, reference.first);
    EXPECT_EQ(sse2.second, reference.second);
    EXPECT_EQ(widest.first, reference.first);
    EXPECT_EQ(widest.second, reference.second);
}

}  // namespace tvx
