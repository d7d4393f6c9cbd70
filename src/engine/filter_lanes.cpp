#include "engine/filter_lanes.h"

#include "dsp/simd.h"

namespace tvx {

#if TVX_SSE2

using namespace filter_sse;

namespace {

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

inline float sampleOf(const float* buffer, int i) { return buffer[i]; }

// Samples i..i + 3 of the four lanes' buffers, sample by sample: out[s] holds
// sample i + s of lanes 0..3.
inline void gatherFour(const float* const* buffers, int i, __m128* out) {
    out[0] = _mm_loadu_ps(buffers[0] + i);
    out[1] = _mm_loadu_ps(buffers[1] + i);
    out[2] = _mm_loadu_ps(buffers[2] + i);
    out[3] = _mm_loadu_ps(buffers[3] + i);
    _MM_TRANSPOSE4_PS(out[0], out[1], out[2], out[3]);
}

// The inverse of gatherFour, into the first `used` lanes.
inline void scatterFour(float* const* buffers, int used, int i, __m128* in) {
    _MM_TRANSPOSE4_PS(in[0], in[1], in[2], in[3]);
    for (int l = 0; l < used; ++l) _mm_storeu_ps(buffers[l] + i, in[l]);
}

inline __m128 select(__m128 mask, __m128 ifTrue, __m128 ifFalse) {
    return _mm_or_ps(_mm_and_ps(mask, ifTrue), _mm_andnot_ps(mask, ifFalse));
}

// tanPi of fast_trig.h, lane by lane.
inline __m128 tanPiLanes(__m128 x) {
    const __m128 upper = _mm_cmpgt_ps(x, _mm_set1_ps(0.25f));
    const __m128 z = _mm_mul_ps(_mm_set1_ps(3.14159265f), select(upper, _mm_sub_ps(_mm_set1_ps(0.5f), x), x));
    const __m128 z2 = _mm_mul_ps(z, z);
    __m128 p = _mm_add_ps(_mm_mul_ps(_mm_set1_ps(9.38540185543e-3f), z2), _mm_set1_ps(3.11992232697e-3f));
    p = _mm_add_ps(_mm_mul_ps(p, z2), _mm_set1_ps(2.44301354525e-2f));
    p = _mm_add_ps(_mm_mul_ps(p, z2), _mm_set1_ps(5.34112807005e-2f));
    p = _mm_add_ps(_mm_mul_ps(p, z2), _mm_set1_ps(1.33387994085e-1f));
    p = _mm_add_ps(_mm_mul_ps(p, z2), _mm_set1_ps(3.33331568548e-1f));
    const __m128 t = _mm_add_ps(_mm_mul_ps(_mm_mul_ps(p, z2), z), z);
    return select(upper, _mm_div_ps(_mm_set1_ps(1.0f), t), t);
}

// The cutoff the single filter warps: held short of the pole at Nyquist.
inline __m128 warpedLanes(__m128 cutoff) { return tanPiLanes(_mm_min_ps(cutoff, _mm_set1_ps(0.4999f))); }

}  // namespace

// What setCoefficients leaves in a filter for these inputs.
void FilterLanes::noteCoefficientInputs(const Lane* lanes, int used, const float* cutoff, const float* resonance,
                                        const float* warped) {
    for (int l = 0; l < used; ++l) {
        Filter& f = *lanes[l].filter;
        f.coefficientType_ = f.type_;
        f.coefficientCutoff_ = cutoff[l];
        f.coefficientResonance_ = resonance[l];
        f.warpedFrom_ = cutoff[l];
        f.warped_ = warped[l];
    }
}

// Filter::setLadderCoefficients, lane by lane.
void FilterLanes::setLadderCoefficients(const float* cutoff, const float* resonance, LadderCoefficients& k) {
    const __m128 res = _mm_load_ps(resonance);
    const __m128 g = warpedLanes(_mm_load_ps(cutoff));
    k.g = g;
    k.k = _mm_mul_ps(res, _mm_set1_ps(4.4444447f));
    k.gain = _mm_add_ps(_mm_mul_ps(res, _mm_set1_ps(2.5f)), _mm_set1_ps(1.122018f));
    k.r = _mm_div_ps(_mm_set1_ps(1.0f), _mm_add_ps(_mm_set1_ps(1.0f), g));
    const __m128 G = _mm_mul_ps(g, k.r);
    const __m128 G2 = _mm_mul_ps(G, G);
    k.G4 = _mm_mul_ps(G2, G2);
    k.S1 = _mm_mul_ps(_mm_mul_ps(G2, G), k.r);
    k.S2 = _mm_mul_ps(G2, k.r);
    k.S3 = _mm_mul_ps(G, k.r);
    k.twoG = _mm_mul_ps(_mm_set1_ps(2.0f), g);
}

// What Filter::setLadderCoefficients leaves in each filter.
void FilterLanes::keepLadderCoefficients(const Lane* lanes, int used, const float* cutoff, const float* resonance,
                                         const LadderCoefficients& k) {
    alignas(16) float values[8][kLanes];
    const __m128 all[8] = {k.g, k.k, k.gain, k.r, k.G4, k.S1, k.S2, k.S3};
    for (int v = 0; v < 8; ++v) _mm_store_ps(values[v], all[v]);
    noteCoefficientInputs(lanes, used, cutoff, resonance, values[0]);
    for (int l = 0; l < used; ++l) {
        Filter& f = *lanes[l].filter;
        f.g_ = values[0][l];
        f.k_ = values[1][l];
        f.gain_ = values[2][l];
        f.ladderR_ = values[3][l];
        f.ladderG4_ = values[4][l];
        f.ladderS1_ = values[5][l];
        f.ladderS2_ = values[6][l];
        f.ladderS3_ = values[7][l];
    }
}

// Filter::setSvfCoefficients, lane by lane, for filters of the given type.
void FilterLanes::setSvfCoefficients(int type, const float* cutoff, const float* resonance, SvfLaneCoefficients& k) {
    __m128 res = _mm_load_ps(resonance);
    if (type == Filter::Peaking) res = _mm_mul_ps(res, _mm_set1_ps(0.6f));
    const __m128 g = warpedLanes(_mm_load_ps(cutoff));
    const __m128 damping = _mm_div_ps(
        _mm_set1_ps(1.0f), _mm_add_ps(_mm_mul_ps(_mm_mul_ps(res, res), _mm_set1_ps(9.5f)), _mm_set1_ps(0.5f)));
    const __m128 one = _mm_set1_ps(1.0f);
    k.g = g;
    k.damping = damping;
    k.a1 = flush(_mm_div_ps(one, _mm_add_ps(one, _mm_mul_ps(g, _mm_add_ps(g, damping)))));
    k.a2 = flush(_mm_mul_ps(k.a1, g));
    k.a3 = flush(_mm_mul_ps(k.a2, g));
    const __m128 minusDamping = _mm_sub_ps(_mm_setzero_ps(), damping);
    const __m128 zero = _mm_setzero_ps();
    switch (type) {
        case Filter::Lowpass12: k.m0 = zero; k.m1 = zero; k.m2 = one; break;
        case Filter::Highpass: k.m0 = one; k.m1 = minusDamping; k.m2 = _mm_set1_ps(-1.0f); break;
        case Filter::Bandpass: k.m0 = zero; k.m1 = one; k.m2 = zero; break;
        case Filter::Bandstop: k.m0 = one; k.m1 = minusDamping; k.m2 = zero; break;
        default: k.m0 = one; k.m1 = minusDamping; k.m2 = _mm_set1_ps(-2.0f); break;  // Peaking
    }
}

// What Filter::setSvfCoefficients leaves in each filter.
void FilterLanes::keepSvfCoefficients(const Lane* lanes, int used, const float* cutoff, const float* resonance,
                                      const SvfLaneCoefficients& k) {
    alignas(16) float values[8][kLanes];
    const __m128 all[8] = {k.g, k.damping, k.a1, k.a2, k.a3, k.m0, k.m1, k.m2};
    for (int v = 0; v < 8; ++v) _mm_store_ps(values[v], all[v]);
    noteCoefficientInputs(lanes, used, cutoff, resonance, values[0]);
    for (int l = 0; l < used; ++l) {
        Filter& f = *lanes[l].filter;
        f.g_ = values[0][l];
        f.k_ = values[1][l];
        f.a1_ = values[2][l];
        f.a2_ = values[3][l];
        f.a3_ = values[4][l];
        f.m0_ = values[5][l];
        f.m1_ = values[6][l];
        f.m2_ = values[7][l];
    }
}

// The sample loop of either filter kind: smoothers, coefficients when they
// moved, and one step per channel. The filters keep the last coefficients at
// the end, as if each had set its own at every move.
template <class Coefficients, class Channel, class SetCoefficients, class Step, class Keep>
void FilterLanes::runSamples(const Lane* lanes, int used, int count, Channel* channel, SetCoefficients set,
                             Step step, Keep keep) {
    Coefficients k;
    alignas(16) float cutoff[kLanes], resonance[kLanes];
    SettlingSmoother* cutoffSmoothers[kLanes];
    SettlingSmoother* resonanceSmoothers[kLanes];
    for (int l = 0; l < kLanes; ++l) {
        cutoffSmoothers[l] = &lanes[l].filter->cutoff_;
        resonanceSmoothers[l] = &lanes[l].filter->resonance_;
    }
    SettlingSmootherLanes cutoffs(cutoffSmoothers), resonances(resonanceSmoothers);
    // What the coefficients were computed from; a filter whose coefficients
    // belong to another type takes new ones at the first sample.
    __m128 coefficientCutoff = gather(lanes, [](const Lane& l) { return l.filter->coefficientCutoff_; });
    __m128 coefficientResonance = gather(lanes, [](const Lane& l) { return l.filter->coefficientResonance_; });
    bool stale = false;
    for (int l = 0; l < used; ++l) stale = stale || lanes[l].filter->coefficientType_ != lanes[l].filter->type_;
    __m128 cutoffTarget = _mm_setzero_ps(), resonanceTarget = _mm_setzero_ps();
    bool loaded = false;
    // The smoothers and coefficients of sample i; the filter steps follow.
    auto control = [&](int i) {
        // A lane without target lists keeps its filter's targets, as takeTargets does.
        cutoffTarget = gather(lanes, [i](const Lane& l) {
            return l.cutoffTargets ? l.cutoffTargets[i] : l.filter->cutoffTarget_;
        });
        resonanceTarget = gather(lanes, [i](const Lane& l) {
            return l.cutoffTargets ? l.resonanceTargets[i] : l.filter->resonanceTarget_;
        });
        const __m128 cutoffNow = cutoffs.update(cutoffTarget);
        const __m128 resonanceNow = resonances.update(resonanceTarget);
        const __m128 moved = _mm_or_ps(_mm_cmpneq_ps(cutoffNow, coefficientCutoff),
                                       _mm_cmpneq_ps(resonanceNow, coefficientResonance));
        if (stale || !loaded || (_mm_movemask_ps(moved) & ((1 << used) - 1)) != 0) {
            _mm_store_ps(cutoff, cutoffNow);
            _mm_store_ps(resonance, resonanceNow);
            set(cutoff, resonance, k);
            coefficientCutoff = cutoffNow;
            coefficientResonance = resonanceNow;
            loaded = true;
            stale = false;
        }
    };
    // Four samples at a time, read and written four lanes at once.
    float* lefts[kLanes];
    float* rights[kLanes];
    for (int l = 0; l < kLanes; ++l) {
        lefts[l] = lanes[l].left;
        rights[l] = lanes[l].right;
    }
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        __m128 xL[4], xR[4];
        gatherFour(lefts, i, xL);
        gatherFour(rights, i, xR);
        for (int s = 0; s < 4; ++s) {
            control(i + s);
            xL[s] = step(channel[0], k, clipInput(xL[s]));
            xR[s] = step(channel[1], k, clipInput(xR[s]));
        }
        scatterFour(lefts, used, i, xL);
        scatterFour(rights, used, i, xR);
    }
    for (; i < count; ++i) {
        control(i);
        const __m128 xL = clipInput(gather(lanes, [i](const Lane& l) { return sampleOf(l.left, i); }));
        const __m128 xR = clipInput(gather(lanes, [i](const Lane& l) { return sampleOf(l.right, i); }));
        const __m128 yL = step(channel[0], k, xL);
        const __m128 yR = step(channel[1], k, xR);
        scatter(lanes, used, yL, [i](const Lane& l, float v) { l.left[i] = v; });
        scatter(lanes, used, yR, [i](const Lane& l, float v) { l.right[i] = v; });
    }
    if (count <= 0) return;
    keep(lanes, used, cutoff, resonance, k);
    cutoffs.store(cutoffSmoothers, used, cutoffTarget);
    resonances.store(resonanceSmoothers, used, resonanceTarget);
    scatter(lanes, used, cutoffTarget, [](const Lane& l, float v) { l.filter->cutoffTarget_ = v; });
    scatter(lanes, used, resonanceTarget, [](const Lane& l, float v) { l.filter->resonanceTarget_ = v; });
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
    runSamples<LadderCoefficients>(
        lanes, used, count, channel,
        [](const float* c, const float* r, LadderCoefficients& k) { setLadderCoefficients(c, r, k); },
        [](LadderChannel& c, const LadderCoefficients& k, __m128 x) { return ladderStep(c, k, x); },
        keepLadderCoefficients);
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
    const int type = lanes[0].filter->type_;
    runSamples<SvfLaneCoefficients>(
        lanes, used, count, channel,
        [type](const float* c, const float* r, SvfLaneCoefficients& k) { setSvfCoefficients(type, c, r, k); },
        [](SvfChannel& c, const SvfLaneCoefficients& k, __m128 x) { return svfStep(c, k, x); },
        keepSvfCoefficients);
    for (int c = 0; c < 2; ++c) {
        scatter(lanes, used, channel[c].ic1, [c](const Lane& l, float v) { l.filter->svf_.ic1[c] = v; });
        scatter(lanes, used, channel[c].ic2, [c](const Lane& l, float v) { l.filter->svf_.ic2[c] = v; });
    }
}

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

}  // namespace tvx
