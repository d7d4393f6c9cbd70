#include "engine/filter_lanes.h"

#include <algorithm>

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

// Entry step[l] * i of the four lanes' rows.
inline __m128 rowsAt(const float* const* rows, const int* step, int i) {
    return _mm_setr_ps(rows[0][step[0] * i], rows[1][step[1] * i], rows[2][step[2] * i], rows[3][step[3] * i]);
}

// The inverse of gatherFour, into the first `used` lanes.
inline void scatterFour(float* const* buffers, int used, int i, __m128* in) {
    _MM_TRANSPOSE4_PS(in[0], in[1], in[2], in[3]);
    for (int l = 0; l < used; ++l) _mm_storeu_ps(buffers[l] + i, in[l]);
}

inline __m128 select(__m128 mask, __m128 ifTrue, __m128 ifFalse) {
    return _mm_or_ps(_mm_and_ps(mask, ifTrue), _mm_andnot_ps(mask, ifFalse));
}

inline bool sameBits(__m128 a, __m128 b) {
    return _mm_movemask_epi8(_mm_cmpeq_epi32(_mm_castps_si128(a), _mm_castps_si128(b))) == 0xffff;
}

// tanPi of fast_trig.h, lane by lane. The reciprocal of the upper half is
// only worked out when a lane lies there.
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
    if (_mm_movemask_ps(upper) == 0) return t;
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
void FilterLanes::setLadderCoefficients(const float* cutoff, const float* resonance, LadderLaneCoefficients& k) {
    const __m128 res = _mm_load_ps(resonance);
    k.k = _mm_mul_ps(res, _mm_set1_ps(4.4444447f));
    k.gain = _mm_add_ps(_mm_mul_ps(res, _mm_set1_ps(2.5f)), _mm_set1_ps(1.122018f));
    const __m128 cutoffs = _mm_load_ps(cutoff);
    if (k.warped && sameBits(cutoffs, k.warpedFrom)) return;
    k.warped = true;
    k.warpedFrom = cutoffs;
    const __m128 g = warpedLanes(cutoffs);
    k.g = g;
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
    alignas(16) float values[8][kGroupLanes];
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
// The warped cutoffs stay while the cutoffs do, the damping while the resonances do.
void FilterLanes::setSvfCoefficients(int type, const float* cutoff, const float* resonance, SvfLaneCoefficients& k) {
    const __m128 cutoffs = _mm_load_ps(cutoff);
    if (!(k.warped && sameBits(cutoffs, k.warpedFrom))) {
        k.warped = true;
        k.warpedFrom = cutoffs;
        k.g = warpedLanes(cutoffs);
    }
    const __m128 one = _mm_set1_ps(1.0f);
    const __m128 resonances = _mm_load_ps(resonance);
    if (!(k.damped && sameBits(resonances, k.dampedFrom))) {
        k.damped = true;
        k.dampedFrom = resonances;
        const __m128 res = type == Filter::Peaking ? _mm_mul_ps(resonances, _mm_set1_ps(0.6f)) : resonances;
        const __m128 damping = _mm_div_ps(
            one, _mm_add_ps(_mm_mul_ps(_mm_mul_ps(res, res), _mm_set1_ps(9.5f)), _mm_set1_ps(0.5f)));
        k.damping = damping;
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
    const __m128 g = k.g;
    k.a1 = flush(_mm_div_ps(one, _mm_add_ps(one, _mm_mul_ps(g, _mm_add_ps(g, k.damping)))));
    k.a2 = flush(_mm_mul_ps(k.a1, g));
    k.a3 = flush(_mm_mul_ps(k.a2, g));
}

// What Filter::setSvfCoefficients leaves in each filter.
void FilterLanes::keepSvfCoefficients(const Lane* lanes, int used, const float* cutoff, const float* resonance,
                                      const SvfLaneCoefficients& k) {
    alignas(16) float values[8][kGroupLanes];
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

// The sample loop of either filter kind for G groups of four lanes: per
// group the smoothers, the coefficients when they moved, and one step per
// channel. Two groups run in the same loop because each step waits on the
// one before it: the second group's steps fill that wait. The filters keep
// the last coefficients at the end, as if each had set its own at every move.
template <int G, class Coefficients, class Channel, class SetCoefficients, class Step, class Keep>
void FilterLanes::runSamples(const Lane* lanes, int used, int count, Channel (*channel)[2], SetCoefficients set,
                             Step step, Keep keep) {
    struct Group {
        const Lane* lanes;
        int used;
        Coefficients k;
        alignas(16) float cutoff[kGroupLanes], resonance[kGroupLanes];
        SettlingSmoother* cutoffSmoothers[kGroupLanes];
        SettlingSmoother* resonanceSmoothers[kGroupLanes];
        // What the coefficients were computed from.
        __m128 coefficientCutoff, coefficientResonance;
        __m128 cutoffTarget, resonanceTarget;
        bool stale, loaded;
        float* lefts[kGroupLanes];
        float* rights[kGroupLanes];
        // A lane without target lists keeps its filter's targets, as
        // takeTargets does: its rows then hold those, and do not advance.
        float heldTargets[kGroupLanes][2][4];
        const float* cutoffRows[kGroupLanes];
        const float* resonanceRows[kGroupLanes];
        int rowStep[kGroupLanes];
    };
    Group groups[G];
    for (int g = 0; g < G; ++g) {
        Group& group = groups[g];
        group.lanes = lanes + g * kGroupLanes;
        group.used = std::min(std::max(used - g * kGroupLanes, 0), kGroupLanes);
        for (int l = 0; l < kGroupLanes; ++l) {
            group.cutoffSmoothers[l] = &group.lanes[l].filter->cutoff_;
            group.resonanceSmoothers[l] = &group.lanes[l].filter->resonance_;
            group.lefts[l] = group.lanes[l].left;
            group.rights[l] = group.lanes[l].right;
            const Lane& lane = group.lanes[l];
            for (int s = 0; s < 4; ++s) {
                group.heldTargets[l][0][s] = lane.filter->cutoffTarget_;
                group.heldTargets[l][1][s] = lane.filter->resonanceTarget_;
            }
            const bool listed = lane.cutoffTargets != nullptr;
            group.cutoffRows[l] = listed ? lane.cutoffTargets : group.heldTargets[l][0];
            group.resonanceRows[l] = listed ? lane.resonanceTargets : group.heldTargets[l][1];
            group.rowStep[l] = listed ? 1 : 0;
        }
        group.coefficientCutoff = gather(group.lanes, [](const Lane& l) { return l.filter->coefficientCutoff_; });
        group.coefficientResonance =
            gather(group.lanes, [](const Lane& l) { return l.filter->coefficientResonance_; });
        // A filter whose coefficients belong to another type takes new ones at the first sample.
        group.stale = false;
        for (int l = 0; l < group.used; ++l)
            group.stale = group.stale || group.lanes[l].filter->coefficientType_ != group.lanes[l].filter->type_;
        group.loaded = false;
        group.cutoffTarget = group.resonanceTarget = _mm_setzero_ps();
    }
    static_assert(G == 1 || G == 2, "one or two groups");
    // With one group, the second entries are unused copies of the first.
    SettlingSmootherLanes cutoffs[2] = {SettlingSmootherLanes(groups[0].cutoffSmoothers),
                                        SettlingSmootherLanes(groups[G - 1].cutoffSmoothers)};
    SettlingSmootherLanes resonances[2] = {SettlingSmootherLanes(groups[0].resonanceSmoothers),
                                           SettlingSmootherLanes(groups[G - 1].resonanceSmoothers)};
    // The smoothers and coefficients of a sample with these targets; the filter steps follow.
    auto control = [&](int g, __m128 cutoffTarget, __m128 resonanceTarget) {
        Group& group = groups[g];
        group.cutoffTarget = cutoffTarget;
        group.resonanceTarget = resonanceTarget;
        const __m128 cutoffNow = cutoffs[g].update(group.cutoffTarget);
        const __m128 resonanceNow = resonances[g].update(group.resonanceTarget);
        const __m128 moved = _mm_or_ps(_mm_cmpneq_ps(cutoffNow, group.coefficientCutoff),
                                       _mm_cmpneq_ps(resonanceNow, group.coefficientResonance));
        if (group.stale || !group.loaded || (_mm_movemask_ps(moved) & ((1 << group.used) - 1)) != 0) {
            _mm_store_ps(group.cutoff, cutoffNow);
            _mm_store_ps(group.resonance, resonanceNow);
            set(group.cutoff, group.resonance, group.k);
            group.coefficientCutoff = cutoffNow;
            group.coefficientResonance = resonanceNow;
            group.loaded = true;
            group.stale = false;
        }
    };
    // Four samples at a time, read and written four lanes at once.
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        __m128 xL[G][4], xR[G][4], cutoffTargets[G][4], resonanceTargets[G][4];
        for (int g = 0; g < G; ++g) {
            const Group& group = groups[g];
            gatherFour(group.lefts, i, xL[g]);
            gatherFour(group.rights, i, xR[g]);
            const float* cutoffAt[kGroupLanes];
            const float* resonanceAt[kGroupLanes];
            for (int l = 0; l < kGroupLanes; ++l) {
                cutoffAt[l] = group.cutoffRows[l] + group.rowStep[l] * i;
                resonanceAt[l] = group.resonanceRows[l] + group.rowStep[l] * i;
            }
            gatherFour(cutoffAt, 0, cutoffTargets[g]);
            gatherFour(resonanceAt, 0, resonanceTargets[g]);
        }
        for (int s = 0; s < 4; ++s) {
            for (int g = 0; g < G; ++g) control(g, cutoffTargets[g][s], resonanceTargets[g][s]);
            for (int g = 0; g < G; ++g) {
                xL[g][s] = step(channel[g][0], groups[g].k, clipInput(xL[g][s]));
                xR[g][s] = step(channel[g][1], groups[g].k, clipInput(xR[g][s]));
            }
        }
        for (int g = 0; g < G; ++g) {
            scatterFour(groups[g].lefts, groups[g].used, i, xL[g]);
            scatterFour(groups[g].rights, groups[g].used, i, xR[g]);
        }
    }
    for (; i < count; ++i) {
        for (int g = 0; g < G; ++g) {
            control(g, rowsAt(groups[g].cutoffRows, groups[g].rowStep, i),
                    rowsAt(groups[g].resonanceRows, groups[g].rowStep, i));
            const Lane* group = groups[g].lanes;
            const int groupUsed = groups[g].used;
            const __m128 xL = clipInput(gather(group, [i](const Lane& l) { return sampleOf(l.left, i); }));
            const __m128 xR = clipInput(gather(group, [i](const Lane& l) { return sampleOf(l.right, i); }));
            const __m128 yL = step(channel[g][0], groups[g].k, xL);
            const __m128 yR = step(channel[g][1], groups[g].k, xR);
            scatter(group, groupUsed, yL, [i](const Lane& l, float v) { l.left[i] = v; });
            scatter(group, groupUsed, yR, [i](const Lane& l, float v) { l.right[i] = v; });
        }
    }
    if (count <= 0) return;
    for (int g = 0; g < G; ++g) {
        Group& group = groups[g];
        keep(group.lanes, group.used, group.cutoff, group.resonance, group.k);
        cutoffs[g].store(group.cutoffSmoothers, group.used, group.cutoffTarget);
        resonances[g].store(group.resonanceSmoothers, group.used, group.resonanceTarget);
        scatter(group.lanes, group.used, group.cutoffTarget,
                [](const Lane& l, float v) { l.filter->cutoffTarget_ = v; });
        scatter(group.lanes, group.used, group.resonanceTarget,
                [](const Lane& l, float v) { l.filter->resonanceTarget_ = v; });
    }
}

template <int G>
void FilterLanes::runLadders(const Lane* lanes, int used, int count) {
    LadderChannel channel[G][2];
    for (int g = 0; g < G; ++g) {
        const Lane* group = lanes + g * kGroupLanes;
        for (int c = 0; c < 2; ++c) {
            channel[g][c].s1 = gather(group, [c](const Lane& l) { return l.filter->ladder_.s1[c]; });
            channel[g][c].s2 = gather(group, [c](const Lane& l) { return l.filter->ladder_.s2[c]; });
            channel[g][c].s3 = gather(group, [c](const Lane& l) { return l.filter->ladder_.s3[c]; });
            channel[g][c].s4 = gather(group, [c](const Lane& l) { return l.filter->ladder_.s4[c]; });
            channel[g][c].previous = gather(group, [c](const Lane& l) { return l.filter->ladder_.previousInput[c]; });
        }
    }
    runSamples<G, LadderLaneCoefficients>(
        lanes, used, count, channel,
        [](const float* c, const float* r, LadderLaneCoefficients& k) { setLadderCoefficients(c, r, k); },
        [](LadderChannel& c, const LadderLaneCoefficients& k, __m128 x) { return ladderStep(c, k, x); },
        keepLadderCoefficients);
    for (int g = 0; g < G; ++g) {
        const Lane* group = lanes + g * kGroupLanes;
        const int groupUsed = std::min(std::max(used - g * kGroupLanes, 0), kGroupLanes);
        for (int c = 0; c < 2; ++c) {
            const LadderChannel& ch = channel[g][c];
            scatter(group, groupUsed, ch.s1, [c](const Lane& l, float v) { l.filter->ladder_.s1[c] = v; });
            scatter(group, groupUsed, ch.s2, [c](const Lane& l, float v) { l.filter->ladder_.s2[c] = v; });
            scatter(group, groupUsed, ch.s3, [c](const Lane& l, float v) { l.filter->ladder_.s3[c] = v; });
            scatter(group, groupUsed, ch.s4, [c](const Lane& l, float v) { l.filter->ladder_.s4[c] = v; });
            scatter(group, groupUsed, ch.previous,
                    [c](const Lane& l, float v) { l.filter->ladder_.previousInput[c] = v; });
        }
    }
}

template <int G>
void FilterLanes::runSvfs(const Lane* lanes, int used, int count) {
    SvfChannel channel[G][2];
    for (int g = 0; g < G; ++g) {
        const Lane* group = lanes + g * kGroupLanes;
        for (int c = 0; c < 2; ++c) {
            channel[g][c].ic1 = gather(group, [c](const Lane& l) { return l.filter->svf_.ic1[c]; });
            channel[g][c].ic2 = gather(group, [c](const Lane& l) { return l.filter->svf_.ic2[c]; });
        }
    }
    const int type = lanes[0].filter->type_;
    runSamples<G, SvfLaneCoefficients>(
        lanes, used, count, channel,
        [type](const float* c, const float* r, SvfLaneCoefficients& k) { setSvfCoefficients(type, c, r, k); },
        [](SvfChannel& c, const SvfLaneCoefficients& k, __m128 x) { return svfStep(c, k, x); },
        keepSvfCoefficients);
    for (int g = 0; g < G; ++g) {
        const Lane* group = lanes + g * kGroupLanes;
        const int groupUsed = std::min(std::max(used - g * kGroupLanes, 0), kGroupLanes);
        for (int c = 0; c < 2; ++c) {
            scatter(group, groupUsed, channel[g][c].ic1, [c](const Lane& l, float v) { l.filter->svf_.ic1[c] = v; });
            scatter(group, groupUsed, channel[g][c].ic2, [c](const Lane& l, float v) { l.filter->svf_.ic2[c] = v; });
        }
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
    const bool ladder = type == Filter::Lowpass24;
#if TVX_AVX2
    if (used > kGroupLanes && hasAvx2()) {
        if (ladder)
            runLaddersInOne(padded, used, count);
        else
            runSvfsInOne(padded, used, count);
        return;
    }
#endif
    if (used > kGroupLanes) {
        if (ladder)
            runLadders<2>(padded, used, count);
        else
            runSvfs<2>(padded, used, count);
    } else if (ladder) {
        runLadders<1>(padded, used, count);
    } else {
        runSvfs<1>(padded, used, count);
    }
}

#else

void FilterLanes::process(const Lane* lanes, int used, int count) {
    for (int l = 0; l < used; ++l)
        lanes[l].filter->processRun(lanes[l].left, lanes[l].right, count, lanes[l].cutoffTargets,
                                    lanes[l].resonanceTargets);
}

#endif

}  // namespace tvx
