#include "engine/filter_lanes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "dsp/simd.h"

namespace tvx {

namespace {

// How the voices' cutoff and resonance targets move.
enum class Motion {
    Both,          // cutoffs and resonances move, some cutoffs past a quarter of the rate, then all below it
    ResonanceOnly  // each cutoff holds from the first sample while the resonances move
};

// 1..8 voices' filters side by side must sound exactly as each filter run
// alone, for every filter type and both motions, over two runs (the second
// starting from the state the first left), with one input gone bad and one
// voice without target lists.
void expectEachSoundsAsAlone() {
    constexpr int kCount = 300;
    for (Motion motion : {Motion::Both, Motion::ResonanceOnly})
    for (int type = Filter::Lowpass24; type <= Filter::Peaking; ++type)
    for (int used = 1; used <= FilterLanes::kLanes; ++used) {
        SCOPED_TRACE(testing::Message() << "motion " << static_cast<int>(motion) << ", type " << type << ", "
                                        << used << " voices");
        Filter together[FilterLanes::kLanes], alone[FilterLanes::kLanes];
        std::vector<float> signal[FilterLanes::kLanes][2], reference[FilterLanes::kLanes][2];
        std::vector<float> cutoff[FilterLanes::kLanes], resonance[FilterLanes::kLanes];
        for (int v = 0; v < used; ++v) {
            for (Filter* f : {&together[v], &alone[v]}) {
                f->prepare(44100.0f);
                f->setUp(static_cast<float>(type), 0.5f, 0.3f, 60.0f, 0.0f);
            }
            for (int c = 0; c < 2; ++c) {
                signal[v][c].resize(kCount);
                for (int i = 0; i < kCount; ++i)
                    signal[v][c][i] = 0.9f * std::sin(0.05f * static_cast<float>((v + 1) * (c + 2) * i));
            }
            cutoff[v].resize(kCount);
            resonance[v].resize(kCount);
            const float fv = static_cast<float>(v);
            for (int i = 0; i < kCount; ++i) {
                const float fi = static_cast<float>(i);
                if (motion == Motion::ResonanceOnly) {
                    cutoff[v][i] = 0.03f + 0.04f * fv;
                    resonance[v][i] = 0.1f * fv + 0.002f * fi;
                } else if (i < 150) {
                    // The first voice's cutoff settles while the others move.
                    cutoff[v][i] = v == 0 ? 0.3f : 0.02f + 0.1f * fv + 0.0005f * fi;
                    resonance[v][i] = 0.1f * fv;
                } else {
                    cutoff[v][i] = 0.04f + 0.02f * fv + 0.0002f * (fi - 150.0f);
                    resonance[v][i] = i < 220 ? 0.9f : 0.05f * fv + 0.002f * (fi - 220.0f);
                }
            }
        }
        if (used > 1) signal[1][0][77] = NAN;
        for (int v = 0; v < used; ++v)
            for (int c = 0; c < 2; ++c) reference[v][c] = signal[v][c];
        // The third voice keeps the targets of its set-up.
        auto listed = [](int v) { return v != 2; };
        for (int start : {0, kCount / 2}) {
            FilterLanes::Lane lanes[FilterLanes::kLanes];
            for (int v = 0; v < used; ++v)
                lanes[v] = {&together[v], signal[v][0].data() + start, signal[v][1].data() + start,
                            listed(v) ? cutoff[v].data() + start : nullptr,
                            listed(v) ? resonance[v].data() + start : nullptr};
            FilterLanes::process(lanes, used, kCount / 2);
        }
        for (int v = 0; v < used; ++v) {
            alone[v].processRun(reference[v][0].data(), reference[v][1].data(), kCount,
                                listed(v) ? cutoff[v].data() : nullptr, listed(v) ? resonance[v].data() : nullptr);
            for (int c = 0; c < 2; ++c) EXPECT_EQ(signal[v][c], reference[v][c]) << "voice " << v;
        }
    }
}

TEST(FilterLanes, SideBySideSoundsAsEachFilterAlone) {
    avx2Forbidden() = true;
    expectEachSoundsAsAlone();
    avx2Forbidden() = false;
}

TEST(FilterLanes, InOneAvx2RegisterSoundsAsEachFilterAlone) {
    if (!hasAvx2()) GTEST_SKIP() << "no AVX2";
    expectEachSoundsAsAlone();
}

}  // namespace

}  // namespace tvx
