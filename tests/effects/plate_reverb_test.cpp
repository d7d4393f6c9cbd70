#include "effects/plate_reverb.h"

#include <cstdlib>

#include <gtest/gtest.h>

#include "effect_test_support.h"

namespace tvx {

namespace {

constexpr int kBlock = 128;

EffectParams reverbParams() {
    EffectParams p;
    p[ReverbMix] = 1.0f;
    p[ReverbSize] = 1.0f;
    return p;
}

// Runs `samples` samples in blocks; input(i) gives the same sample to both sides
// unless `rightSilent`.
template <typename Input, typename Sink>
void run(PlateReverb& reverb, const EffectParams& p, int samples, Input input, Sink sink,
         bool rightSilent = false) {
    for (int i = 0; i < samples; ++i) {
        if (i % kBlock == 0) reverb.beginBlock(p.data(), kBlock);
        float l = input(i), r = rightSilent ? 0.0f : l;
        reverb.process(p.data(), l, r);
        sink(i, l, r);
    }
}

float noise() { return static_cast<float>(std::rand()) / RAND_MAX * 2.0f - 1.0f; }

}  // namespace

TEST(PlateReverbTest, LineLengthsFollowTheRateAndSize) {
    PlateReverb reverb;
    EffectParams p = reverbParams();
    reverb.beginBlock(p.data(), kBlock);
    EXPECT_EQ(reverb.tankADelay1().length(), 6615);
    EXPECT_EQ(reverb.diffuser(0).length(), 211);
    p[ReverbSize] = 0.0f;
    reverb.beginBlock(p.data(), kBlock);
    EXPECT_EQ(reverb.tankADelay1().length(), static_cast<int>(44100.0f * 0.15f * 0.05f));
    reverb.prepare(96000.0f);
    p[ReverbSize] = 1.0f;
    reverb.beginBlock(p.data(), kBlock);
    EXPECT_EQ(reverb.tankADelay1().length(), 14400);
    EXPECT_EQ(reverb.diffuser(0).length(), 460);
}

TEST(PlateReverbTest, ZeroWidthGivesIdenticalSides) {
    EffectParams p = reverbParams();
    p[ReverbWidth] = 0.0f;
    PlateReverb reverb;
    run(reverb, p, 20000, [](int i) { return i < 100 ? noise() : 0.0f; },
        [](int i, float l, float r) { ASSERT_EQ(l, r) << i; });

    p[ReverbWidth] = 1.0f;
    PlateReverb wide;
    float difference = 0.0f;
    run(wide, p, 20000, [](int i) { return i < 100 ? noise() : 0.0f; },
        [&](int, float l, float r) { difference += std::fabs(l - r); });
    EXPECT_GT(difference, 1.0f);
}

TEST(PlateReverbTest, TailDecaysAndStaysBoundedAtEveryRate) {
    for (float fs : {22050.0f, 44100.0f, 48000.0f, 96000.0f, 192000.0f}) {
        for (float damp : {0.0f, 1.0f}) {
            EffectParams p = reverbParams();
            p[ReverbDamp] = damp;
            PlateReverb reverb;
            reverb.prepare(fs);
            float peak = 0.0f, tail = 0.0f, late = 0.0f;
            int n = static_cast<int>(fs * 3.0f);
            run(reverb, p, n, [&](int i) { return i < fs ? noise() : 0.0f; },
                [&](int i, float l, float r) {
                    peak = std::fmax(peak, std::fabs(l) + std::fabs(r));
                    if (i > fs && i < fs * 1.1f) tail = std::fmax(tail, std::fabs(l));
                    if (i > fs * 2.9f) late = std::fmax(late, std::fabs(l));
                });
            EXPECT_LT(peak, 10.0f) << fs << " " << damp;
            EXPECT_GT(tail, 0.01f) << fs << " " << damp;  // there is a reverb at all
            EXPECT_LT(late, tail * 0.5f) << fs << " " << damp;
        }
    }
}

TEST(PlateReverbTest, SwitchingOffClearsSoTheNextSwitchOnStartsSilent) {
    EffectParams p = reverbParams();
    PlateReverb reverb;
    run(reverb, p, 5000, [](int) { return noise(); }, [](int, float, float) {});
    p[ReverbMix] = 0.0f;
    reverb.beginBlock(p.data(), kBlock);
    p[ReverbMix] = 1.0f;
    run(reverb, p, 20000, [](int) { return 0.0f; },
        [](int i, float l, float r) { ASSERT_LT(std::fabs(l) + std::fabs(r), 1e-20f) << i; });
}

TEST(PlateReverbTest, NewSizeCutsTheTail) {
    EffectParams p = reverbParams();
    p[ReverbDamp] = 0.0f;
    PlateReverb kept, resized;
    for (PlateReverb* reverb : {&kept, &resized}) {
        std::srand(7);
        run(*reverb, p, 8000, [](int) { return noise(); }, [](int, float, float) {});
        // 0.2 s of silence all but drains the early lines and diffusers; the tank rings on.
        run(*reverb, p, 9000, [](int) { return 0.0f; }, [](int, float, float) {});
    }
    float keptEnergy = 0.0f, resizedEnergy = 0.0f;
    run(kept, p, 4000, [](int) { return 0.0f; }, [&](int, float l, float) { keptEnergy += l * l; });
    p[ReverbSize] = 0.3f;
    run(resized, p, 4000, [](int) { return 0.0f; }, [&](int, float l, float) { resizedEnergy += l * l; });
    EXPECT_GT(keptEnergy, 0.1f);
    EXPECT_LT(resizedEnergy, keptEnergy * 1e-3f);  // diffuser echoes only
}

TEST(PlateReverbTest, BrokenParametersAndEmptyBlocksRecover) {
    PlateReverb reverb;
    EffectParams p = reverbParams();
    for (float bad : {kNaN, kInf, -kInf, 1e30f, -1e30f}) {
        p[ReverbSize] = p[ReverbDamp] = p[ReverbWidth] = bad;
        p[ReverbMix] = bad == bad ? bad : 1.0f;
        reverb.beginBlock(p.data(), 0);
        run(reverb, p, 3000, [](int) { return noise(); }, [&](int i, float l, float r) {
            ASSERT_TRUE(std::isfinite(l) && std::isfinite(r)) << bad << " " << i;
            ASSERT_LT(std::fabs(l), 10.0f) << bad;
        });
    }
    p = reverbParams();
    float level = 0.0f;
    run(reverb, p, 6000, [](int i) { return i < 10 ? 1.0f : 0.0f; },
        [&](int i, float l, float) { if (i > 3000) level = std::fmax(level, std::fabs(l)); });
    EXPECT_GT(level, 1e-3f);
}

}  // namespace tvx
