#pragma once

#include "dsp/simd.h"
#include "engine/filter.h"
#include "engine/filter_steps.h"

namespace tvx {

// The filters of up to eight voices in one slot, run side by side: a voice
// per SSE lane, a register per channel and group of four (with AVX2, more
// than four voices share one register per channel). One voice's filter
// is a chain of dependent steps that leaves the processor waiting for each
// result; the independent chains of eight voices keep it busy. Every lane does the operations of
// Filter::processRun in the same order, so each voice sounds as it does when
// its filter runs alone. The filters share their type, as all voices do.
class FilterLanes {
public:
    static constexpr int kLanes = 8;
    static constexpr int kGroupLanes = 4;   // voices per register

    struct Lane {
        Filter* filter = nullptr;
        float* left = nullptr;
        float* right = nullptr;
        const float* cutoffTargets = nullptr;
        const float* resonanceTargets = nullptr;
    };

    // Runs count samples of lanes[0..used) in place; used is 1..kLanes.
    static void process(const Lane* lanes, int used, int count);

private:
#if TVX_SSE2
    template <int G>
    static void runLadders(const Lane* lanes, int used, int count);
    template <int G>
    static void runSvfs(const Lane* lanes, int used, int count);
    // The ladder coefficients with the cutoffs the warped ones were made
    // from: the part made from the cutoffs alone stays while they do.
    struct LadderLaneCoefficients : filter_sse::LadderCoefficients {
        __m128 warpedFrom;
        bool warped = false;
    };
    // The state-variable coefficients with the two values the filters keep
    // besides, and what the warped cutoffs and the damping were made from.
    struct SvfLaneCoefficients : filter_sse::SvfCoefficients {
        __m128 g, damping;
        __m128 warpedFrom, dampedFrom;
        bool warped = false, damped = false;
    };
    template <int G, class Coefficients, class Channel, class SetCoefficients, class Step, class Keep>
    static void runSamples(const Lane* lanes, int used, int count, Channel (*channel)[2], SetCoefficients set,
                           Step step, Keep keep);
    static void noteCoefficientInputs(const Lane* lanes, int used, const float* cutoff, const float* resonance,
                                      const float* warped);
    static void setLadderCoefficients(const float* cutoff, const float* resonance, LadderLaneCoefficients& k);
    static void keepLadderCoefficients(const Lane* lanes, int used, const float* cutoff, const float* resonance,
                                       const filter_sse::LadderCoefficients& k);
    static void setSvfCoefficients(int type, const float* cutoff, const float* resonance, SvfLaneCoefficients& k);
    static void keepSvfCoefficients(const Lane* lanes, int used, const float* cutoff, const float* resonance,
                                    const SvfLaneCoefficients& k);
#endif
#if TVX_AVX2
    // All eight lanes in one AVX2 register (filter_lanes_avx2.cpp), for
    // processors that have it.
    static void runLaddersInOne(const Lane* lanes, int used, int count);
    static void runSvfsInOne(const Lane* lanes, int used, int count);
    template <class Kind>
    static void runSamplesInOne(const Lane* lanes, int used, int count, Kind& kind, float* cutoff, float* resonance);
#endif
};

}  // namespace tvx
