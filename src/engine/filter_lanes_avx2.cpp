// The filters of eight voices in one AVX2 register, for processors that have
// it: state, coefficients and smoothers of all eight lanes side by side. Every
// lane does the operations of the SSE2 form (filter_steps.h) in the same
// order, without fused multiply-add, so each voice still sounds as its filter
// does alone, bit for bit.
#include "engine/filter_lanes.h"

#include <algorithm>
#include <cfloat>

#include "dsp/settling_smoother_avx2.h"
#include "dsp/simd.h"

#if TVX_AVX2
#include <immintrin.h>
#endif

namespace tvx {

#if TVX_AVX2

namespace {

using filter_sse::kDenormal;

TVX_TARGET_AVX2 inline __m256 all(float v) { return _mm256_set1_ps(v); }

// The comparisons are those of the SSE2 intrinsics: ordered, false for NaN,
// except "not equal", which is true for NaN.
TVX_TARGET_AVX2 inline __m256 lessThan(__m256 a, __m256 b) { return _mm256_cmp_ps(a, b, _CMP_LT_OS); }

TVX_TARGET_AVX2 inline __m256 select(__m256 mask, __m256 ifTrue, __m256 ifFalse) {
    return _mm256_blendv_ps(ifFalse, ifTrue, mask);
}

TVX_TARGET_AVX2 inline bool sameBits(__m256 a, __m256 b) {
    const __m256i difference = _mm256_castps_si256(_mm256_xor_ps(a, b));
    return _mm256_testz_si256(difference, difference) != 0;
}

TVX_TARGET_AVX2 inline __m256 magnitudeOf(__m256 x) { return _mm256_andnot_ps(all(-0.0f), x); }

TVX_TARGET_AVX2 inline __m256 flush(__m256 x) {
    return _mm256_andnot_ps(lessThan(magnitudeOf(x), all(kDenormal)), x);
}

TVX_TARGET_AVX2 inline __m256 healthyLanes(__m256 sum) { return lessThan(magnitudeOf(sum), all(1e20f)); }

TVX_TARGET_AVX2 inline __m256 clipInput(__m256 x) {
    const __m256 ordered = _mm256_and_ps(x, _mm256_cmp_ps(x, x, _CMP_ORD_Q));
    return _mm256_min_ps(_mm256_max_ps(ordered, all(-1.0f)), all(1.0f));
}

// tanPi of fast_trig.h, lane by lane. The reciprocal of the upper half is
// only worked out when a lane lies there.
TVX_TARGET_AVX2 inline __m256 tanPiLanes(__m256 x) {
    const __m256 upper = _mm256_cmp_ps(x, all(0.25f), _CMP_GT_OS);
    const __m256 z = _mm256_mul_ps(all(3.14159265f), select(upper, _mm256_sub_ps(all(0.5f), x), x));
    const __m256 z2 = _mm256_mul_ps(z, z);
    __m256 p = _mm256_add_ps(_mm256_mul_ps(all(9.38540185543e-3f), z2), all(3.11992232697e-3f));
    p = _mm256_add_ps(_mm256_mul_ps(p, z2), all(2.44301354525e-2f));
    p = _mm256_add_ps(_mm256_mul_ps(p, z2), all(5.34112807005e-2f));
    p = _mm256_add_ps(_mm256_mul_ps(p, z2), all(1.33387994085e-1f));
    p = _mm256_add_ps(_mm256_mul_ps(p, z2), all(3.33331568548e-1f));
    const __m256 t = _mm256_add_ps(_mm256_mul_ps(_mm256_mul_ps(p, z2), z), z);
    if (_mm256_movemask_ps(upper) == 0) return t;
    return select(upper, _mm256_div_ps(all(1.0f), t), t);
}

TVX_TARGET_AVX2 inline __m256 warpedLanes(__m256 cutoff) { return tanPiLanes(_mm256_min_ps(cutoff, all(0.4999f))); }

// Samples i..i + 3 of eight lanes' rows: out[s] holds sample i + s of lanes
// 0..7. Each 128-bit half transposes its four lanes as gatherFour does.
TVX_TARGET_AVX2 inline void gatherEight(const float* const* rows, int i, __m256* out) {
    __m256 r[4];
    for (int l = 0; l < 4; ++l)
        r[l] = _mm256_insertf128_ps(_mm256_castps128_ps256(_mm_loadu_ps(rows[l] + i)), _mm_loadu_ps(rows[l + 4] + i),
                                    1);
    const __m256 t0 = _mm256_unpacklo_ps(r[0], r[1]), t1 = _mm256_unpacklo_ps(r[2], r[3]);
    const __m256 t2 = _mm256_unpackhi_ps(r[0], r[1]), t3 = _mm256_unpackhi_ps(r[2], r[3]);
    out[0] = _mm256_shuffle_ps(t0, t1, _MM_SHUFFLE(1, 0, 1, 0));
    out[1] = _mm256_shuffle_ps(t0, t1, _MM_SHUFFLE(3, 2, 3, 2));
    out[2] = _mm256_shuffle_ps(t2, t3, _MM_SHUFFLE(1, 0, 1, 0));
    out[3] = _mm256_shuffle_ps(t2, t3, _MM_SHUFFLE(3, 2, 3, 2));
}

// The inverse of gatherEight, into the first `used` rows.
TVX_TARGET_AVX2 inline void scatterEight(float* const* rows, int used, int i, const __m256* in) {
    const __m256 t0 = _mm256_unpacklo_ps(in[0], in[1]), t1 = _mm256_unpacklo_ps(in[2], in[3]);
    const __m256 t2 = _mm256_unpackhi_ps(in[0], in[1]), t3 = _mm256_unpackhi_ps(in[2], in[3]);
    const __m256 r[4] = {_mm256_shuffle_ps(t0, t1, _MM_SHUFFLE(1, 0, 1, 0)),
                         _mm256_shuffle_ps(t0, t1, _MM_SHUFFLE(3, 2, 3, 2)),
                         _mm256_shuffle_ps(t2, t3, _MM_SHUFFLE(1, 0, 1, 0)),
                         _mm256_shuffle_ps(t2, t3, _MM_SHUFFLE(3, 2, 3, 2))};
    for (int l = 0; l < used && l < 4; ++l) _mm_storeu_ps(rows[l] + i, _mm256_castps256_ps128(r[l]));
    for (int l = 4; l < used; ++l) _mm_storeu_ps(rows[l] + i, _mm256_extractf128_ps(r[l - 4], 1));
}

template <class Read>
TVX_TARGET_AVX2 inline __m256 loadLanes(const FilterLanes::Lane* lanes, Read read) {
    float values[8];
    for (int l = 0; l < 8; ++l) values[l] = read(lanes[l]);
    return _mm256_loadu_ps(values);
}

template <class Write>
TVX_TARGET_AVX2 inline void storeLanes(const FilterLanes::Lane* lanes, int used, __m256 v, Write write) {
    float values[8];
    _mm256_storeu_ps(values, v);
    for (int l = 0; l < used; ++l) write(lanes[l], values[l]);
}

// The upper halves of the registers cleared, as the SSE2 code that follows
// needs them to run at full speed. The compiler does not always do it when
// the link-time optimiser builds these functions.
TVX_TARGET_AVX2 inline void leaveAvx() { _mm256_zeroupper(); }

TVX_TARGET_AVX2 inline __m128 lowerHalf(__m256 v) { return _mm256_castps256_ps128(v); }
TVX_TARGET_AVX2 inline __m128 upperHalf(__m256 v) { return _mm256_extractf128_ps(v, 1); }

// The ladder of filter_sse, eight lanes wide. The part of the coefficients
// made from the cutoff alone is kept while the cutoffs stay.
struct LadderLanes {
    struct Channel {
        __m256 s1, s2, s3, s4, previous;
    };
    Channel channel[2];
    __m256 g, k, r, G4, twoG, S1, S2, S3, gain;
    __m256 warpedFrom;
    bool warped = false;

    TVX_TARGET_AVX2 void setCoefficients(__m256 cutoff, __m256 resonance) {
        k = _mm256_mul_ps(resonance, all(4.4444447f));
        gain = _mm256_add_ps(_mm256_mul_ps(resonance, all(2.5f)), all(1.122018f));
        if (warped && sameBits(cutoff, warpedFrom)) return;
        warped = true;
        warpedFrom = cutoff;
        g = warpedLanes(cutoff);
        r = _mm256_div_ps(all(1.0f), _mm256_add_ps(all(1.0f), g));
        const __m256 G = _mm256_mul_ps(g, r);
        const __m256 G2 = _mm256_mul_ps(G, G);
        G4 = _mm256_mul_ps(G2, G2);
        S1 = _mm256_mul_ps(_mm256_mul_ps(G2, G), r);
        S2 = _mm256_mul_ps(G2, r);
        S3 = _mm256_mul_ps(G, r);
        twoG = _mm256_mul_ps(all(2.0f), g);
    }

    TVX_TARGET_AVX2 __m256 step(Channel& c, __m256 x) const {
        const __m256 u =
            _mm256_sub_ps(_mm256_mul_ps(_mm256_add_ps(x, c.previous), all(0.5f)), _mm256_mul_ps(k, c.s4));
        c.previous = x;
        const __m256 u2 = _mm256_mul_ps(u, u);
        const __m256 numerator = _mm256_add_ps(_mm256_mul_ps(_mm256_add_ps(u2, all(105.0f)), u2), all(945.0f));
        const __m256 denominator =
            _mm256_add_ps(_mm256_mul_ps(_mm256_add_ps(_mm256_mul_ps(all(15.0f), u2), all(420.0f)), u2), all(945.0f));
        const __m256 h = _mm256_div_ps(numerator, denominator);

        __m256 sum = _mm256_add_ps(_mm256_mul_ps(S1, c.s1), _mm256_mul_ps(S2, c.s2));
        sum = _mm256_add_ps(sum, _mm256_mul_ps(S3, c.s3));
        sum = _mm256_add_ps(sum, _mm256_mul_ps(r, c.s4));
        sum = _mm256_add_ps(sum, _mm256_mul_ps(_mm256_mul_ps(h, G4), x));
        const __m256 y4 = _mm256_div_ps(sum, _mm256_add_ps(all(1.0f), _mm256_mul_ps(_mm256_mul_ps(k, h), G4)));
        const __m256 input = _mm256_mul_ps(_mm256_sub_ps(x, _mm256_mul_ps(k, y4)), h);
        const __m256 y1 = _mm256_mul_ps(_mm256_add_ps(_mm256_mul_ps(g, input), c.s1), r);
        c.s1 = flush(_mm256_add_ps(_mm256_mul_ps(twoG, _mm256_sub_ps(input, y1)), c.s1));
        const __m256 y2 = _mm256_mul_ps(_mm256_add_ps(_mm256_mul_ps(g, y1), c.s2), r);
        c.s2 = flush(_mm256_add_ps(_mm256_mul_ps(twoG, _mm256_sub_ps(y1, y2)), c.s2));
        const __m256 y3 = _mm256_mul_ps(_mm256_add_ps(_mm256_mul_ps(g, y2), c.s3), r);
        c.s3 = flush(_mm256_add_ps(_mm256_mul_ps(twoG, _mm256_sub_ps(y2, y3)), c.s3));
        c.s4 = flush(_mm256_add_ps(_mm256_mul_ps(twoG, _mm256_sub_ps(y3, y4)), c.s4));

        const __m256 healthy = healthyLanes(
            _mm256_add_ps(_mm256_add_ps(_mm256_add_ps(_mm256_add_ps(c.s1, c.s2), c.s3), c.s4), y4));
        c.previous = _mm256_and_ps(c.previous, healthy);
        c.s1 = _mm256_and_ps(c.s1, healthy);
        c.s2 = _mm256_and_ps(c.s2, healthy);
        c.s3 = _mm256_and_ps(c.s3, healthy);
        c.s4 = _mm256_and_ps(c.s4, healthy);
        return _mm256_mul_ps(_mm256_and_ps(y4, healthy), gain);
    }
};

// The state-variable filter of filter_sse, eight lanes wide. The warped
// cutoff is kept while the cutoffs stay, the damping while the resonances do.
struct SvfLanes {
    struct Channel {
        __m256 ic1, ic2;
    };
    Channel channel[2];
    __m256 g, damping, a1, a2, a3, m0, m1, m2;
    __m256 warpedFrom, dampedFrom;
    bool warped = false, damped = false;
    int type = Filter::Lowpass12;

    TVX_TARGET_AVX2 void setCoefficients(__m256 cutoff, __m256 resonance) {
        if (!(warped && sameBits(cutoff, warpedFrom))) {
            warped = true;
            warpedFrom = cutoff;
            g = warpedLanes(cutoff);
        }
        const __m256 one = all(1.0f);
        if (!(damped && sameBits(resonance, dampedFrom))) {
            damped = true;
            dampedFrom = resonance;
            const __m256 res = type == Filter::Peaking ? _mm256_mul_ps(resonance, all(0.6f)) : resonance;
            damping = _mm256_div_ps(one, _mm256_add_ps(_mm256_mul_ps(_mm256_mul_ps(res, res), all(9.5f)), all(0.5f)));
            const __m256 minusDamping = _mm256_sub_ps(_mm256_setzero_ps(), damping);
            const __m256 zero = _mm256_setzero_ps();
            switch (type) {
                case Filter::Lowpass12: m0 = zero; m1 = zero; m2 = one; break;
                case Filter::Highpass: m0 = one; m1 = minusDamping; m2 = all(-1.0f); break;
                case Filter::Bandpass: m0 = zero; m1 = one; m2 = zero; break;
                case Filter::Bandstop: m0 = one; m1 = minusDamping; m2 = zero; break;
                default: m0 = one; m1 = minusDamping; m2 = all(-2.0f); break;  // Peaking
            }
        }
        a1 = flush(_mm256_div_ps(one, _mm256_add_ps(one, _mm256_mul_ps(g, _mm256_add_ps(g, damping)))));
        a2 = flush(_mm256_mul_ps(a1, g));
        a3 = flush(_mm256_mul_ps(a2, g));
    }

    TVX_TARGET_AVX2 __m256 step(Channel& c, __m256 x) const {
        const __m256 e = _mm256_sub_ps(x, c.ic2);
        const __m256 bp = _mm256_add_ps(_mm256_mul_ps(a1, c.ic1), _mm256_mul_ps(a2, e));
        const __m256 lp = _mm256_add_ps(_mm256_add_ps(c.ic2, _mm256_mul_ps(a2, c.ic1)), _mm256_mul_ps(a3, e));
        const __m256 next1 = flush(_mm256_sub_ps(_mm256_mul_ps(all(2.0f), bp), c.ic1));
        const __m256 next2 = flush(_mm256_sub_ps(_mm256_mul_ps(all(2.0f), lp), c.ic2));
        const __m256 y = _mm256_add_ps(_mm256_add_ps(_mm256_mul_ps(m0, x), _mm256_mul_ps(m1, bp)),
                                       _mm256_mul_ps(m2, lp));
        const __m256 healthy = healthyLanes(_mm256_add_ps(_mm256_add_ps(next1, next2), y));
        c.ic1 = _mm256_and_ps(next1, healthy);
        c.ic2 = _mm256_and_ps(next2, healthy);
        return _mm256_and_ps(y, healthy);
    }
};

}  // namespace

// runSamples with the eight lanes in one register. A lane takes new
// coefficients when its own cutoff or resonance moved, from its own values,
// as its filter alone does; one whose coefficients belong to another type
// takes them at the first sample. The inputs of the last coefficients come
// back in cutoff and resonance.
template <class Kind>
TVX_TARGET_AVX2 void FilterLanes::runSamplesInOne(const Lane* lanes, int used, int count, Kind& kept, float* cutoff,
                                                  float* resonance) {
    // A copy of its own, which the buffers' writes cannot reach: it stays in registers.
    Kind kind = kept;
    SettlingSmoother* cutoffSmoothers[kLanes];
    SettlingSmoother* resonanceSmoothers[kLanes];
    float* lefts[kLanes];
    float* rights[kLanes];
    // A lane without target lists keeps its filter's targets, as takeTargets
    // does: its rows then hold those, and do not advance.
    float heldTargets[kLanes][2][4];
    const float* cutoffRows[kLanes];
    const float* resonanceRows[kLanes];
    int rowStep[kLanes];
    int staleBits[kLanes];
    for (int l = 0; l < kLanes; ++l) {
        Filter& f = *lanes[l].filter;
        cutoffSmoothers[l] = &f.cutoff_;
        resonanceSmoothers[l] = &f.resonance_;
        lefts[l] = lanes[l].left;
        rights[l] = lanes[l].right;
        for (int s = 0; s < 4; ++s) {
            heldTargets[l][0][s] = f.cutoffTarget_;
            heldTargets[l][1][s] = f.resonanceTarget_;
        }
        const bool listed = lanes[l].cutoffTargets != nullptr;
        cutoffRows[l] = listed ? lanes[l].cutoffTargets : heldTargets[l][0];
        resonanceRows[l] = listed ? lanes[l].resonanceTargets : heldTargets[l][1];
        rowStep[l] = listed ? 1 : 0;
        staleBits[l] = f.coefficientType_ != f.type_ ? -1 : 0;
    }
    SettlingSmootherEightLanes cutoffs, resonances;
    cutoffs.load(cutoffSmoothers);
    resonances.load(resonanceSmoothers);
    // What each lane's coefficients were made from.
    __m256 coefficientCutoff = loadLanes(lanes, [](const Lane& l) { return l.filter->coefficientCutoff_; });
    __m256 coefficientResonance = loadLanes(lanes, [](const Lane& l) { return l.filter->coefficientResonance_; });
    // Forced to take new coefficients at the first sample: the coefficients
    // are not loaded from the filters.
    __m256 forced = _mm256_castsi256_ps(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(staleBits)));
    bool loaded = false;
    const int usedBits = (1 << used) - 1;
    __m256 cutoffTarget = _mm256_setzero_ps(), resonanceTarget = _mm256_setzero_ps();

    auto control = [&](__m256 cutoffTargetNow, __m256 resonanceTargetNow) TVX_TARGET_AVX2 {
        cutoffTarget = cutoffTargetNow;
        resonanceTarget = resonanceTargetNow;
        const __m256 cutoffNow = cutoffs.update(cutoffTargetNow);
        const __m256 resonanceNow = resonances.update(resonanceTargetNow);
        const __m256 moved = _mm256_or_ps(_mm256_or_ps(_mm256_cmp_ps(cutoffNow, coefficientCutoff, _CMP_NEQ_UQ),
                                                       _mm256_cmp_ps(resonanceNow, coefficientResonance, _CMP_NEQ_UQ)),
                                          forced);
        if (loaded && (_mm256_movemask_ps(moved) & usedBits) == 0) return;
        coefficientCutoff = select(moved, cutoffNow, coefficientCutoff);
        coefficientResonance = select(moved, resonanceNow, coefficientResonance);
        kind.setCoefficients(coefficientCutoff, coefficientResonance);
        forced = _mm256_setzero_ps();
        loaded = true;
    };

    int i = 0;
    for (; i + 4 <= count; i += 4) {
        __m256 xL[4], xR[4], cutoffTargets[4], resonanceTargets[4];
        const float* cutoffAt[kLanes];
        const float* resonanceAt[kLanes];
        for (int l = 0; l < kLanes; ++l) {
            cutoffAt[l] = cutoffRows[l] + rowStep[l] * i;
            resonanceAt[l] = resonanceRows[l] + rowStep[l] * i;
        }
        gatherEight(cutoffAt, 0, cutoffTargets);
        gatherEight(resonanceAt, 0, resonanceTargets);
        gatherEight(lefts, i, xL);
        gatherEight(rights, i, xR);
        for (int s = 0; s < 4; ++s) {
            control(cutoffTargets[s], resonanceTargets[s]);
            xL[s] = kind.step(kind.channel[0], clipInput(xL[s]));
            xR[s] = kind.step(kind.channel[1], clipInput(xR[s]));
        }
        scatterEight(lefts, used, i, xL);
        scatterEight(rights, used, i, xR);
    }
    for (; i < count; ++i) {
        float cutoffTargets[kLanes], resonanceTargets[kLanes];
        for (int l = 0; l < kLanes; ++l) {
            cutoffTargets[l] = cutoffRows[l][rowStep[l] * i];
            resonanceTargets[l] = resonanceRows[l][rowStep[l] * i];
        }
        control(_mm256_loadu_ps(cutoffTargets), _mm256_loadu_ps(resonanceTargets));
        const __m256 xL = clipInput(loadLanes(lanes, [i](const Lane& l) { return l.left[i]; }));
        const __m256 xR = clipInput(loadLanes(lanes, [i](const Lane& l) { return l.right[i]; }));
        storeLanes(lanes, used, kind.step(kind.channel[0], xL), [i](const Lane& l, float v) { l.left[i] = v; });
        storeLanes(lanes, used, kind.step(kind.channel[1], xR), [i](const Lane& l, float v) { l.right[i] = v; });
    }
    kept = kind;
    _mm256_storeu_ps(cutoff, coefficientCutoff);
    _mm256_storeu_ps(resonance, coefficientResonance);
    cutoffs.store(cutoffSmoothers, used, cutoffTarget);
    resonances.store(resonanceSmoothers, used, resonanceTarget);
    storeLanes(lanes, used, cutoffTarget, [](const Lane& l, float v) { l.filter->cutoffTarget_ = v; });
    storeLanes(lanes, used, resonanceTarget, [](const Lane& l, float v) { l.filter->resonanceTarget_ = v; });
}

TVX_TARGET_AVX2 void FilterLanes::runLaddersInOne(const Lane* lanes, int used, int count) {
    if (count <= 0) return;
    LadderLanes kind;
    for (int c = 0; c < 2; ++c) {
        LadderLanes::Channel& ch = kind.channel[c];
        ch.s1 = loadLanes(lanes, [c](const Lane& l) { return l.filter->ladder_.s1[c]; });
        ch.s2 = loadLanes(lanes, [c](const Lane& l) { return l.filter->ladder_.s2[c]; });
        ch.s3 = loadLanes(lanes, [c](const Lane& l) { return l.filter->ladder_.s3[c]; });
        ch.s4 = loadLanes(lanes, [c](const Lane& l) { return l.filter->ladder_.s4[c]; });
        ch.previous = loadLanes(lanes, [c](const Lane& l) { return l.filter->ladder_.previousInput[c]; });
    }
    float cutoff[kLanes], resonance[kLanes];
    runSamplesInOne(lanes, used, count, kind, cutoff, resonance);
    for (int c = 0; c < 2; ++c) {
        const LadderLanes::Channel& ch = kind.channel[c];
        storeLanes(lanes, used, ch.s1, [c](const Lane& l, float v) { l.filter->ladder_.s1[c] = v; });
        storeLanes(lanes, used, ch.s2, [c](const Lane& l, float v) { l.filter->ladder_.s2[c] = v; });
        storeLanes(lanes, used, ch.s3, [c](const Lane& l, float v) { l.filter->ladder_.s3[c] = v; });
        storeLanes(lanes, used, ch.s4, [c](const Lane& l, float v) { l.filter->ladder_.s4[c] = v; });
        storeLanes(lanes, used, ch.previous, [c](const Lane& l, float v) { l.filter->ladder_.previousInput[c] = v; });
    }
    // The coefficients go back four lanes at a time, as the SSE2 form keeps them.
    const filter_sse::LadderCoefficients lower{lowerHalf(kind.g),    lowerHalf(kind.k),    lowerHalf(kind.r),
                                               lowerHalf(kind.G4),   lowerHalf(kind.twoG), lowerHalf(kind.S1),
                                               lowerHalf(kind.S2),   lowerHalf(kind.S3),   lowerHalf(kind.gain)};
    const filter_sse::LadderCoefficients upper{upperHalf(kind.g),    upperHalf(kind.k),    upperHalf(kind.r),
                                               upperHalf(kind.G4),   upperHalf(kind.twoG), upperHalf(kind.S1),
                                               upperHalf(kind.S2),   upperHalf(kind.S3),   upperHalf(kind.gain)};
    leaveAvx();
    keepLadderCoefficients(lanes, std::min(used, kGroupLanes), cutoff, resonance, lower);
    if (used > kGroupLanes)
        keepLadderCoefficients(lanes + kGroupLanes, used - kGroupLanes, cutoff + kGroupLanes,
                               resonance + kGroupLanes, upper);
}

TVX_TARGET_AVX2 void FilterLanes::runSvfsInOne(const Lane* lanes, int used, int count) {
    if (count <= 0) return;
    SvfLanes kind;
    kind.type = lanes[0].filter->type_;
    for (int c = 0; c < 2; ++c) {
        kind.channel[c].ic1 = loadLanes(lanes, [c](const Lane& l) { return l.filter->svf_.ic1[c]; });
        kind.channel[c].ic2 = loadLanes(lanes, [c](const Lane& l) { return l.filter->svf_.ic2[c]; });
    }
    float cutoff[kLanes], resonance[kLanes];
    runSamplesInOne(lanes, used, count, kind, cutoff, resonance);
    for (int c = 0; c < 2; ++c) {
        storeLanes(lanes, used, kind.channel[c].ic1, [c](const Lane& l, float v) { l.filter->svf_.ic1[c] = v; });
        storeLanes(lanes, used, kind.channel[c].ic2, [c](const Lane& l, float v) { l.filter->svf_.ic2[c] = v; });
    }
    SvfLaneCoefficients lower, upper;
    lower.a1 = lowerHalf(kind.a1);
    lower.a2 = lowerHalf(kind.a2);
    lower.a3 = lowerHalf(kind.a3);
    lower.m0 = lowerHalf(kind.m0);
    lower.m1 = lowerHalf(kind.m1);
    lower.m2 = lowerHalf(kind.m2);
    lower.g = lowerHalf(kind.g);
    lower.damping = lowerHalf(kind.damping);
    upper.a1 = upperHalf(kind.a1);
    upper.a2 = upperHalf(kind.a2);
    upper.a3 = upperHalf(kind.a3);
    upper.m0 = upperHalf(kind.m0);
    upper.m1 = upperHalf(kind.m1);
    upper.m2 = upperHalf(kind.m2);
    upper.g = upperHalf(kind.g);
    upper.damping = upperHalf(kind.damping);
    leaveAvx();
    keepSvfCoefficients(lanes, std::min(used, kGroupLanes), cutoff, resonance, lower);
    if (used > kGroupLanes)
        keepSvfCoefficients(lanes + kGroupLanes, used - kGroupLanes, cutoff + kGroupLanes, resonance + kGroupLanes,
                            upper);
}

#endif

}  // namespace tvx
