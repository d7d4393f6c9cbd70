#include "engine/filter_lanes.h"

#include "dsp/simd.h"

#if TVX_SSE2

namespace {

constexpr float kDenormal = 1e-10f;

inline __m128 flush(__m128 x) {
    const __m128 magnitude = _mm_andnot_ps(_mm_set1_ps(-0.0f), x);
    return _mm_andnot_ps(_mm_cmplt_ps(magnitude, _mm_set1_ps(kDenormal)), x);
}

inline __m128 healthyLanes(__m128 sum) {
    const __m128 magnitude = _mm_andnot_ps(_mm_set1_ps(-0.0f), sum);
    return _mm_cmplt_ps(magnitude, _mm_set1_ps(1e20f));
}

// Clip to -1..1, NaN to 0, as the single filter does.
inline __m128 clipInput(__m128 x) {
    const __m128 ordered = _mm_and_ps(x, _mm_cmpord_ps(x, x));
    return _mm_min_ps(_mm_max_ps(ordered, _mm_set1_ps(-1.0f)), _mm_set1_ps(1.0f));
}

// Lane l of the four filters' (or buffers') values; lanes past `used` repeat lane 0.
template <class Read>
inline __m128 gather(const FilterLanes::Lane* lanes, Read read) {
    return _mm_setr_ps(read(lanes[0]), read(lanes[1]), read(lanes[2]), read(lanes[3]));
}

template <class Write>
inline void scatter(const FilterLanes::Lane* lanes, int used, __m128 v, Write write) {
    alignas(16) float values[4];
    _mm_store_ps(values, v);
    for (int l = 0; l < used; ++l) write(lanes[l], values[l]);
}

struct LadderCoefficients {
    __m128 g, k, r, G4, twoG, S1, S2, S3, gain;
};

struct LadderChannel {
    __m128 s1, s2, s3, s4, previous;
};

inline float sampleOf(const float* buffer, int i) { return buffer[i]; }

// The single filter's ladder step, lane by lane.
inline __m128 ladderStep(LadderChannel& c, const LadderCoefficients& k, __m128 x) {
    const __m128 u =
        _mm_sub_ps(_mm_mul_ps(_mm_add_ps(x, c.previous), _mm_set1_ps(0.5f)), _mm_mul_ps(k.k, c.s4));
    c.previous = x;
    const __m128 u2 = _mm_mul_ps(u, u);
    const __m128 numerator = _mm_add_ps(_mm_mul_ps(_mm_add_ps(u2, _mm_set1_ps(105.0f)), u2), _mm_set1_ps(945.0f));
    const __m128 denominator = _mm_add_ps(
        _mm_mul_ps(_mm_add_ps(_mm_mul_ps(_mm_set1_ps(15.0f), u2), _mm_set1_ps(420.0f)), u2), _mm_set1_ps(945.0f));
    const __m128 h = _mm_div_ps(numerator, denominator);

    __m128 sum = _mm_add_ps(_mm_mul_ps(k.S1, c.s1), _mm_mul_ps(k.S2, c.s2));
    sum = _mm_add_ps(sum, _mm_mul_ps(k.S3, c.s3));
    sum = _mm_add_ps(sum, _mm_mul_ps(k.r, c.s4));
    sum = _mm_add_ps(sum, _mm_mul_ps(_mm_mul_ps(h, k.G4), x));
    __m128 y4 = _mm_div_ps(sum, _mm_add_ps(_mm_set1_ps(1.0f), _mm_mul_ps(_mm_mul_ps(k.k, h), k.G4)));
    const __m128 input = _mm_mul_ps(_mm_sub_ps(x, _mm_mul_ps(k.k, y4)), h);
    const __m128 y1 = _mm_mul_ps(_mm_add_ps(_mm_mul_ps(k.g, input), c.s1), k.r);
    c.s1 = flush(_mm_add_ps(_mm_mul_ps(k.twoG, _mm_sub_ps(input, y1)), c.s1));
    const __m128 y2 = _mm_mul_ps(_mm_add_ps(_mm_mul_ps(k.g, y1), c.s2), k.r);
    c.s2 = flush(_mm_add_ps(_mm_mul_ps(k.twoG, _mm_sub_ps(y1, y2)), c.s2));
    const __m128 y3 = _mm_mul_ps(_mm_add_ps(_mm_mul_ps(k.g, y2), c.s3), k.r);
    c.s3 = flush(_mm_add_ps(_mm_mul_ps(k.twoG, _mm_sub_ps(y2, y3)), c.s3));
    c.s4 = flush(_mm_add_ps(_mm_mul_ps(k.twoG, _mm_sub_ps(y3, y4)), c.s4));

    const __m128 healthy =
        healthyLanes(_mm_add_ps(_mm_add_ps(_mm_add_ps(_mm_add_ps(c.s1, c.s2), c.s3), c.s4), y4));
    c.previous = _mm_and_ps(c.previous, healthy);
    c.s1 = _mm_and_ps(c.s1, healthy);
    c.s2 = _mm_and_ps(c.s2, healthy);
    c.s3 = _mm_and_ps(c.s3, healthy);
    c.s4 = _mm_and_ps(c.s4, healthy);
    return _mm_mul_ps(_mm_and_ps(y4, healthy), k.gain);
}

struct SvfCoefficients {
    __m128 a1, a2, a3, m0, m1, m2;
};

struct SvfChannel {
    __m128 ic1, ic2;
};

inline __m128 svfStep(SvfChannel& c, const SvfCoefficients& k, __m128 x) {
    const __m128 e = _mm_sub_ps(x, c.ic2);
    const __m128 bp = _mm_add_ps(_mm_mul_ps(k.a1, c.ic1), _mm_mul_ps(k.a2, e));
    const __m128 lp = _mm_add_ps(_mm_add_ps(c.ic2, _mm_mul_ps(k.a2, c.ic1)), _mm_mul_ps(k.a3, e));
    const __m128 next1 = flush(_mm_sub_ps(_mm_mul_ps(_mm_set1_ps(2.0f), bp), c.ic1));
    const __m128 next2 = flush(_mm_sub_ps(_mm_mul_ps(_mm_set1_ps(2.0f), lp), c.ic2));
    const __m128 y =
        _mm_add_ps(_mm_add_ps(_mm_mul_ps(k.m0, x), _mm_mul_ps(k.m1, bp)), _mm_mul_ps(k.m2, lp));
    const __m128 healthy = healthyLanes(_mm_add_ps(_mm_add_ps(next1, next2), y));
    c.ic1 = _mm_and_ps(next1, healthy);
    c.ic2 = _mm_and_ps(next2, healthy);
    return _mm_and_ps(y, healthy);
}

}  // namespace

// Each distinct filter moves its smoothers once per sample; a repeated lane
// only mirrors lane 0.
#define TVX_ADVANCE_SMOOTHERS(ladder)                                                              \
    bool changed = false;                                                                          \
    for (int l = 0; l < used; ++l) {                                                               \
        Filter& f = *lanes[l].filter;                                                              \
        f.takeTargets(lanes[l].cutoffTargets, lanes[l].resonanceTargets, i);                       \
        changed = f.advanceSmoothers(ladder) || changed;                                           \
    }

void FilterLanes::runLadders(const Lane* lanes, int used, int count) {
    LadderChannel channel[2];
    for (int c = 0; c < 2; ++c) {
        channel[c].s1 = gather(lanes, [c](const Lane& l) { return l.filter->ladder_.s1[c]; });
        channel[c].s2 = gather(lanes, [c](const Lane& l) { return l.filter->ladder_.s2[c]; });
        channel[c].s3 = gather(lanes, [c](const Lane& l) { return l.filter->ladder_.s3[c]; });
        channel[c].s4 = gather(lanes, [c](const Lane& l) { return l.filter->ladder_.s4[c]; });
        channel[c].previous = gather(lanes, [c](const Lane& l) { return l.filter->ladder_.previousInput[c]; });
    }
    LadderCoefficients k;
    auto loadCoefficients = [&] {
        k.g = gather(lanes, [](const Lane& l) { return l.filter->g_; });
        k.k = gather(lanes, [](const Lane& l) { return l.filter->k_; });
        k.r = gather(lanes, [](const Lane& l) { return l.filter->ladderR_; });
        k.G4 = gather(lanes, [](const Lane& l) { return l.filter->ladderG4_; });
        k.twoG = gather(lanes, [](const Lane& l) { return 2.0f * l.filter->g_; });
        k.S1 = gather(lanes, [](const Lane& l) { return l.filter->ladderS1_; });
        k.S2 = gather(lanes, [](const Lane& l) { return l.filter->ladderS2_; });
        k.S3 = gather(lanes, [](const Lane& l) { return l.filter->ladderS3_; });
        k.gain = gather(lanes, [](const Lane& l) { return l.filter->gain_; });
    };
    bool loaded = false;
    for (int i = 0; i < count; ++i) {
        TVX_ADVANCE_SMOOTHERS(true)
        if (changed || !loaded) {
            loadCoefficients();
            loaded = true;
        }
        const __m128 xL = clipInput(gather(lanes, [i](const Lane& l) { return sampleOf(l.left, i); }));
        const __m128 xR = clipInput(gather(lanes, [i](const Lane& l) { return sampleOf(l.right, i); }));
        const __m128 yL = ladderStep(channel[0], k, xL);
        const __m128 yR = ladderStep(channel[1], k, xR);
        scatter(lanes, used, yL, [i](const Lane& l, float v) { l.left[i] = v; });
        scatter(lanes, used, yR, [i](const Lane& l, float v) { l.right[i] = v; });
    }
    for (int c = 0; c < 2; ++c) {
        scatter(lanes, used, channel[c].s1, [c](const Lane& l, float v) { l.filter->ladder_.s1[c] = v; });
        scatter(lanes, used, channel[c].s2, [c](const Lane& l, float v) { l.filter->ladder_.s2[c] = v; });
        scatter(lanes, used, channel[c].s3, [c](const Lane& l, float v) { l.filter->ladder_.s3[c] = v; });
        scatter(lanes, used, channel[c].s4, [c](const Lane& l, float v) { l.filter->ladder_.s4[c] = v; });
        scatter(lanes, used, channel[c].previous,
                [c](const Lane& l, float v) { l.filter->ladder_.previousInput[c] = v; });
    }
}

void FilterLanes::runSvfs(const Lane* lanes, int used, int count) {
    SvfChannel channel[2];
    for (int c = 0; c < 2; ++c) {
        channel[c].ic1 = gather(lanes, [c](const Lane& l) { return l.filter->svf_.ic1[c]; });
        channel[c].ic2 = gather(lanes, [c](const Lane& l) { return l.filter->svf_.ic2[c]; });
    }
    SvfCoefficients k;
    auto loadCoefficients = [&] {
        k.a1 = gather(lanes, [](const Lane& l) { return l.filter->a1_; });
        k.a2 = gather(lanes, [](const Lane& l) { return l.filter->a2_; });
        k.a3 = gather(lanes, [](const Lane& l) { return l.filter->a3_; });
        k.m0 = gather(lanes, [](const Lane& l) { return l.filter->m0_; });
        k.m1 = gather(lanes, [](const Lane& l) { return l.filter->m1_; });
        k.m2 = gather(lanes, [](const Lane& l) { return l.filter->m2_; });
    };
    bool loaded = false;
    for (int i = 0; i < count; ++i) {
        TVX_ADVANCE_SMOOTHERS(false)
        if (changed || !loaded) {
            loadCoefficients();
            loaded = true;
        }
        const __m128 xL = clipInput(gather(lanes, [i](const Lane& l) { return sampleOf(l.left, i); }));
        const __m128 xR = clipInput(gather(lanes, [i](const Lane& l) { return sampleOf(l.right, i); }));
        const __m128 yL = svfStep(channel[0], k, xL);
        const __m128 yR = svfStep(channel[1], k, xR);
        scatter(lanes, used, yL, [i](const Lane& l, float v) { l.left[i] = v; });
        scatter(lanes, used, yR, [i](const Lane& l, float v) { l.right[i] = v; });
    }
    for (int c = 0; c < 2; ++c) {
        scatter(lanes, used, channel[c].ic1, [c](const Lane& l, float v) { l.filter->svf_.ic1[c] = v; });
        scatter(lanes, used, channel[c].ic2, [c](const Lane& l, float v) { l.filter->svf_.ic2[c] = v; });
    }
}

#undef TVX_ADVANCE_SMOOTHERS

void FilterLanes::process(const Lane* lanes, int used, int count) {
    const int type = lanes[0].filter->type();
    if (type == Filter::Bypass) return;
    if (used < 2) {
        lanes[0].filter->processRun(lanes[0].left, lanes[0].right, count, lanes[0].cutoffTargets,
                                    lanes[0].resonanceTargets);
        return;
    }
    // Lanes past `used` repeat lane 0: they compute what it computes and write nothing.
    Lane padded[kLanes];
    for (int l = 0; l < kLanes; ++l) padded[l] = lanes[l < used ? l : 0];
    if (type == Filter::Lowpass24)
        runLadders(padded, used, count);
    else
        runSvfs(padded, used, count);
}

#else

void FilterLanes::process(const Lane* lanes, int used, int count) {
    for (int l = 0; l < used; ++l)
        lanes[l].filter->processRun(lanes[l].left, lanes[l].right, count, lanes[l].cutoffTargets,
                                    lanes[l].resonanceTargets);
}

#endif
