#include "engine/filter_lanes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace tvx {

namespace {

// Three voices' filters side by side (the fourth lane repeating the first),
// and six in two groups, must sound exactly as each filter run alone, for
// every filter type, with cutoffs and resonances moving every sample and one
// input gone bad.
TEST(FilterLanes, SideBySideSoundsAsEachFilterAlone) {
    constexpr int kMostUsed = 6, kCount = 300;
    for (int type = Filter::Lowpass24; type <= Filter::Peaking; ++type)
    for (int kUsed : {3, kMostUsed}) {
        SCOPED_TRACE(type);
        SCOPED_TRACE(kUsed);
        Filter together[kMostUsed], alone[kMostUsed];
        std::vector<float> signal[kMostUsed][2], reference[kMostUsed][2], cutoff[kMostUsed], resonance[kMostUsed];
        FilterLanes::Lane lanes[kMostUsed];
        for (int v = 0; v < kUsed; ++v) {
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
            for (int i = 0; i < kCount; ++i) {
                // The first voice's cutoff settles while the others move.
                cutoff[v][i] = v == 0 ? 0.3f : 0.02f + 0.1f * static_cast<float>(v) + 0.0005f * static_cast<float>(i);
                resonance[v][i] = i < 150 ? 0.2f * static_cast<float>(v) : 0.9f;
            }
        }
        signal[1][0][77] = NAN;
        for (int v = 0; v < kUsed; ++v)
            for (int c = 0; c < 2; ++c) reference[v][c] = signal[v][c];
        // Two runs: the second starts from the state the first left.
        for (int start : {0, kCount / 2}) {
            for (int v = 0; v < kUsed; ++v)
                lanes[v] = {&together[v], signal[v][0].data() + start, signal[v][1].data() + start,
                            cutoff[v].data() + start, resonance[v].data() + start};
            FilterLanes::process(lanes, kUsed, kCount / 2);
        }
        for (int v = 0; v < kUsed; ++v) {
            alone[v].processRun(reference[v][0].data(), reference[v][1].data(), kCount, cutoff[v].data(),
                                resonance[v].data());
            for (int c = 0; c < 2; ++c) EXPECT_EQ(signal[v][c], reference[v][c]) << "voice " << v;
        }
    }
}

}  // namespace

}  // namespace tvx
