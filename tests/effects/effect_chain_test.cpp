#include "effects/effect_chain.h"

#include <gtest/gtest.h>

#include "effect_test_support.h"

namespace tvx {

namespace {

template <typename Sink>
void runChain(EffectChain& chain, const EffectParams& p, int samples, float (*input)(int), Sink sink,
              int block = 64) {
    for (int i = 0; i < samples; ++i) {
        if (i % block == 0) chain.beginBlock(p.data(), 120.0f, 4, block);
        float l = input(i), r = -0.5f * l;
        chain.process(p.data(), l, r);
        sink(i, l, r);
    }
}

float sine(int i) { return testSine(i, 440.0f, 44100.0f) * 0.8f; }
float silence(int) { return 0.0f; }

}  // namespace

TEST(EffectChainTest, DefaultSoundPassesTheSignalBitIdentically) {
    EffectParams p;  // drive neutral, equaliser flat, every mix at 0
    EffectChain chain;
    runChain(chain, p, 5000, sine, [](int i, float l, float r) {
        ASSERT_EQ(l, sine(i)) << i;
        ASSERT_EQ(r, -0.5f * sine(i)) << i;
    });
}

TEST(EffectChainTest, ReverbOffLeavesTheSignalBitIdenticalAfterUse) {
    EffectParams p;
    p[ReverbMix] = 1.0f;
    EffectChain chain;
    runChain(chain, p, 3000, sine, [](int, float, float) {});
    p[ReverbMix] = 0.0f;
    runChain(chain, p, 3000, sine, [](int i, float l, float) { ASSERT_EQ(l, sine(i)) << i; });
    p[ReverbMix] = 1.0f;
    runChain(chain, p, 3000, silence,
             [](int i, float l, float r) { ASSERT_LT(std::fabs(l) + std::fabs(r), 1e-20f) << i; });
}

TEST(EffectChainTest, ResetSilencesEveryLine) {
    EffectParams p;
    p[ChorusMix] = p[DelayMix] = p[ReverbMix] = 1.0f;
    EffectChain chain;
    runChain(chain, p, 5000, sine, [](int, float, float) {});
    chain.reset();
    runChain(chain, p, 5000, silence,
             [](int i, float l, float r) { ASSERT_LT(std::fabs(l) + std::fabs(r), 1e-20f) << i; });
}

TEST(EffectChainTest, NonFiniteInputAndOverflowNeverReachTheOutput) {
    EffectParams p;
    p[DriveGain] = 1.0f;
    p[EQ1Gain] = p[EQ2Gain] = 1.0f;
    p[ChorusMix] = p[DelayMix] = p[ReverbMix] = 1.0f;
    p[DelayFeedback] = 1.0f;
    EffectChain chain;
    static const float inputs[] = {kNaN, kInf, -kInf, 3e38f, -3e38f, 1e30f};
    runChain(chain, p, 3000, [](int i) { return i < 600 ? inputs[i % 6] : sine(i); },
             [](int i, float l, float r) { ASSERT_TRUE(std::isfinite(l) && std::isfinite(r)) << i; });
    // Whatever was cleared plays normally again.
    float level = 0.0f;
    runChain(chain, p, 3000, sine, [&](int, float l, float) { level = std::fmax(level, std::fabs(l)); });
    EXPECT_GT(level, 0.1f);
}

TEST(EffectChainTest, BrokenParametersOddRatesAndEmptyBlocksRecover) {
    const int ids[] = {DriveAmount, DriveGain, EQ1Gain, EQ2Gain, EQ1Freq, EQ2Freq, ChorusMix, ChorusRate,
                       ChorusDepth, ChorusDelay, DelayMix, DelayTime, DelayFeedback, DelayLoCut,
                       DelayWidth, DelaySync, ReverbMix, ReverbSize, ReverbDamp, ReverbWidth};
    for (float fs : {kNaN, 0.0f, -44100.0f, 10.0f, 1e9f, 44100.0f}) {
        EffectChain chain;
        chain.prepare(fs);
        EffectParams p;
        for (float bad : {kNaN, kInf, -kInf, 1e30f, -1e30f}) {
            for (int id : ids) p[id] = bad;
            chain.beginBlock(p.data(), kNaN, 0, 0);
            runChain(chain, p, 300, sine, [&](int i, float l, float r) {
                ASSERT_TRUE(std::isfinite(l) && std::isfinite(r)) << fs << " " << bad << " " << i;
            });
        }
        EffectParams good;
        good[ChorusMix] = good[DelayMix] = good[ReverbMix] = 0.5f;
        float level = 0.0f;
        runChain(chain, good, 4000, sine, [&](int, float l, float) { level = std::fmax(level, std::fabs(l)); });
        EXPECT_GT(level, 0.1f) << fs;
        EXPECT_LT(level, 50.0f) << fs;  // 440 Hz resonates in the tank at 1 kHz
    }
}

// Every effect on, a tone that stops: the chain that rests through the
// silence must give what the chain that keeps processing gives, below
// -120 dBFS, through the tail, the silence, settings that move while it
// rests (smoothers and LFOs must move on as they would) and the next tone;
// and the chain must have rested before the change and before the tone. The
// drive leaves an offset that the delay's low cut hides from its output
// while it still circles in the lines, at the default cut and at a higher one.
TEST(EffectChainTest, RestingThroughSilenceMatchesProcessing) {
    for (float lowCut : {0.0f, 0.3f}) {
        EffectParams p;
        p[DriveAmount] = 0.5f;
        p[EQ2Gain] = 0.3f;
        p[ChorusMix] = p[DelayMix] = p[ReverbMix] = 0.5f;
        p[DelayFeedback] = 0.6f;
        p[DelayLoCut] = lowCut;
        EffectChain resting, processing;
        constexpr int kBlock = 128;
        constexpr int kToneBlocks = 100, kSilentBlocks = 7000, kChangeBlock = kToneBlocks + 5000;
        bool restedEverywhere = true;
        float worst = 0.0f;
        int i = 0;
        for (int b = 0; b < kToneBlocks + kSilentBlocks + kToneBlocks; ++b) {
            const bool tone = b < kToneBlocks || b >= kToneBlocks + kSilentBlocks;
            if (b == kChangeBlock) {
                p[ReverbMix] = 0.8f;
                p[ChorusRate] = 0.9f;
                p[DriveGain] = 0.7f;
            }
            float l1[kBlock], r1[kBlock], l2[kBlock], r2[kBlock];
            for (int k = 0; k < kBlock; ++k, ++i) {
                l1[k] = l2[k] = tone ? sine(i) : 0.0f;
                r1[k] = r2[k] = -0.5f * l1[k];
            }
            resting.beginBlock(p.data(), 120.0f, 4, kBlock);
            processing.beginBlock(p.data(), 120.0f, 4, kBlock);
            resting.processRun(p.data(), l1, r1, kBlock, !tone);
            processing.processRun(p.data(), l2, r2, kBlock, false);
            for (int k = 0; k < kBlock; ++k)
                worst = std::fmax(worst, std::fmax(std::fabs(l1[k] - l2[k]), std::fabs(r1[k] - r2[k])));
            if (b == kChangeBlock - 1 || b == kToneBlocks + kSilentBlocks - 1)
                restedEverywhere = restedEverywhere && resting.resting();
        }
        EXPECT_TRUE(restedEverywhere) << lowCut;
        EXPECT_LT(worst, 1e-6f) << lowCut;
    }
}

}  // namespace tvx
