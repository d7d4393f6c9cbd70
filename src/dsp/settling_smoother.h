#pragma once

#include "dsp/simd.h"
#include "dsp/param_smoother.h"

#include <cfloat>

namespace tvx {

// A ParamSmoother that stops working once it has settled: when an update
// left the value unchanged and the target is still the same, every further
// update would give that value again, so it is returned as it stands.
// Results are bit for bit those of the plain smoother.
struct SettlingSmoother {
    ParamSmoother smoother;
    float lastTarget = 0.0f;
    bool settled = false;

    void jumpToNextTarget() { smoother.jumpToNextTarget(); }
    float value() const { return smoother.value; }

    // True when update(target) would return the value as it stands.
    bool settledAt(float target) const { return settled && target == lastTarget && !smoother.jump; }

    float update(float target) {
        if (settledAt(target)) return smoother.value;
        return moveTowards(target);
    }

    // count updates with one target, their values into out. The state stays
    // in registers for the stretch; the results are those of update().
    void fill(float target, float* out, int count) {
        // Settled: the state stays as it is, untouched (copying it back and
        // forth stalls the reads that follow its writes).
        if (settledAt(target)) {
            for (int i = 0; i < count; ++i) out[i] = smoother.value;
            return;
        }
        ParamSmoother s = smoother;
        bool isSettled = settled;
        float previousTarget = lastTarget;
        int i = 0;
        for (; i < count; ++i) {
            if (isSettled && target == previousTarget && !s.jump) break;
            const float before = s.value;
            const bool jumped = s.jump;
            const float after = s.update(target);
            isSettled = !jumped && after == before;
            previousTarget = target;
            out[i] = after;
        }
        for (; i < count; ++i) out[i] = s.value;
        smoother = s;
        settled = isSettled;
        lastTarget = previousTarget;
    }

    // fill() for n smoothers, each with its own target and output: those that
    // still move run four to a register, up to two registers at once, with
    // the results of their own fill().
    static void fillSideBySide(SettlingSmoother* const* smoothers, const float* targets, float* const* outputs,
                               int n, int count);

private:
    static void fillUpToEight(SettlingSmoother* const* smoothers, const float* targets, float* const* outputs,
                              int n, int count);

    // Kept apart so that the settled test above is inlined where it is called.
#if defined(__GNUC__)
    __attribute__((noinline))
#endif
    float moveTowards(float target) {
        const float before = smoother.value;
        const bool jumped = smoother.jump;
        const float after = smoother.update(target);
        settled = !jumped && after == before;
        lastTarget = target;
        return after;
    }
};

#if TVX_SSE2
// Four smoothers in the lanes of registers, each updated as its update()
// would: the jump takes the target, tiny values go to zero, a value that is
// not finite goes to zero and jumps next time. An update that changes
// nothing is the settled case, so no lane needs to skip one.
struct SettlingSmootherLanes {
    __m128 value, a, oneMinusA, jump;
    __m128 before, jumped;   // of the last update, for the settled flags

    SettlingSmootherLanes() = default;
    explicit SettlingSmootherLanes(SettlingSmoother* const* smoothers) {
        alignas(16) float v[4], coefficient[4], rest[4];
        alignas(16) int jumps[4];
        for (int k = 0; k < 4; ++k) {
            v[k] = smoothers[k]->smoother.value;
            coefficient[k] = smoothers[k]->smoother.a;
            rest[k] = smoothers[k]->smoother.oneMinusA;
            jumps[k] = smoothers[k]->smoother.jump ? -1 : 0;
        }
        value = before = _mm_load_ps(v);
        a = _mm_load_ps(coefficient);
        oneMinusA = _mm_load_ps(rest);
        jump = jumped = _mm_castsi128_ps(_mm_load_si128(reinterpret_cast<const __m128i*>(jumps)));
    }

    __m128 update(__m128 target) { return updateTowards(target, _mm_mul_ps(oneMinusA, target)); }

    // towardsTarget is (1 - a) * target, for a target that holds.
    __m128 updateTowards(__m128 target, __m128 towardsTarget) {
        const __m128 magnitude = _mm_castsi128_ps(_mm_set1_epi32(0x7fffffff));
        before = value;
        jumped = jump;
        const __m128 moved = _mm_add_ps(_mm_mul_ps(a, value), towardsTarget);
        value = withoutTiny(_mm_or_ps(_mm_and_ps(jump, target), _mm_andnot_ps(jump, moved)));
        const __m128 finite = _mm_cmple_ps(_mm_and_ps(value, magnitude), _mm_set1_ps(FLT_MAX));
        value = _mm_and_ps(value, finite);
        jump = _mm_andnot_ps(finite, _mm_castsi128_ps(_mm_set1_epi32(-1)));
        return value;
    }

    // True when no lane jumps, every value and target lies far inside the
    // finite range and neither coefficient exceeds 1: an update then moves a
    // value by at most the target's size, so even millions of updates stay
    // finite, and updateSteadily() gives what updateTowards() would.
    bool steadyTowards(__m128 target) const {
        const __m128 magnitude = _mm_castsi128_ps(_mm_set1_epi32(0x7fffffff));
        const __m128 bound = _mm_set1_ps(1e30f), one = _mm_set1_ps(1.0f);
        const __m128 inside = _mm_and_ps(_mm_cmplt_ps(_mm_and_ps(value, magnitude), bound),
                                         _mm_cmplt_ps(_mm_and_ps(target, magnitude), bound));
        const __m128 contracting = _mm_and_ps(_mm_cmple_ps(_mm_and_ps(a, magnitude), one),
                                              _mm_cmple_ps(_mm_and_ps(oneMinusA, magnitude), one));
        return _mm_movemask_ps(_mm_andnot_ps(jump, _mm_and_ps(inside, contracting))) == 0xF;
    }

    // updateTowards without the jump and the finite test, which change
    // nothing in steady lanes; the value's chain of waits is shorter.
    __m128 updateSteadily(__m128 towardsTarget) {
        before = value;
        jumped = jump;
        value = withoutTiny(_mm_add_ps(_mm_mul_ps(a, value), towardsTarget));
        return value;
    }

    // Values below 1e-20 in size go to zero, as in ParamSmoother::update.
    static __m128 withoutTiny(__m128 v) {
        const __m128 magnitude = _mm_castsi128_ps(_mm_set1_epi32(0x7fffffff));
        return _mm_andnot_ps(_mm_cmplt_ps(_mm_and_ps(v, magnitude), _mm_set1_ps(1e-20f)), v);
    }

    // The state of lanes 0..n back into their smoothers; lastTarget is the
    // target of the last update.
    void store(SettlingSmoother* const* smoothers, int n, __m128 lastTarget) const {
        alignas(16) float v[4], targets[4];
        _mm_store_ps(v, value);
        _mm_store_ps(targets, lastTarget);
        const int settledBits = _mm_movemask_ps(_mm_andnot_ps(jumped, _mm_cmpeq_ps(value, before)));
        const int jumpBits = _mm_movemask_ps(jump);
        for (int k = 0; k < n; ++k) {
            SettlingSmoother& s = *smoothers[k];
            s.smoother.value = v[k];
            s.smoother.jump = (jumpBits >> k) & 1;
            s.settled = (settledBits >> k) & 1;
            s.lastTarget = targets[k];
        }
    }
};
#endif

}  // namespace tvx
