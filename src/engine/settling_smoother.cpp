#include "engine/settling_smoother.h"

#include <cfloat>

#include "dsp/simd.h"

void SettlingSmoother::fillSideBySide(SettlingSmoother* const* smoothers, const float* targets,
                                      float* const* outputs, int n, int count) {
    SettlingSmoother* moving[4];
    const float* movingTargets[4];
    float movingTargetValues[4];
    float* movingOutputs[4];
    int waiting = 0;
    auto flush = [&] {
        for (int k = 0; k < waiting; ++k) movingTargetValues[k] = *movingTargets[k];
        if (waiting == 1)
            moving[0]->fill(movingTargetValues[0], movingOutputs[0], count);
        else if (waiting > 1)
            fillFour(moving, movingTargetValues, movingOutputs, waiting, count);
        waiting = 0;
    };
    for (int k = 0; k < n; ++k) {
        // A settled smoother only repeats its value: its own fill() does that at once.
        if (smoothers[k]->settledAt(targets[k]) || TVX_SSE2 == 0) {
            smoothers[k]->fill(targets[k], outputs[k], count);
            continue;
        }
        moving[waiting] = smoothers[k];
        movingTargets[waiting] = targets + k;
        movingOutputs[waiting] = outputs[k];
        if (++waiting == 4) flush();
    }
    flush();
}

#if TVX_SSE2

namespace {

// The lanes of four registers, one per sample, written to four outputs.
inline void storeTransposed(__m128 s0, __m128 s1, __m128 s2, __m128 s3, float* const* outputs, int n, int at) {
    _MM_TRANSPOSE4_PS(s0, s1, s2, s3);
    const __m128 lanes[4] = {s0, s1, s2, s3};
    for (int k = 0; k < n; ++k) _mm_storeu_ps(outputs[k] + at, lanes[k]);
}

inline void storeLanes(__m128 v, float* const* outputs, int n, int at) {
    alignas(16) float lanes[4];
    _mm_store_ps(lanes, v);
    for (int k = 0; k < n; ++k) outputs[k][at] = lanes[k];
}

}  // namespace

// ParamSmoother::update in every lane: the jump takes the target, tiny values
// go to zero, a value that is not finite goes to zero and jumps next time.
void SettlingSmoother::fillFour(SettlingSmoother* const* smoothers, const float* targets, float* const* outputs,
                                int n, int count) {
    if (count <= 0) return;
    alignas(16) float value[4], a[4], oneMinusA[4], target[4];
    alignas(16) int jumpBits[4];
    for (int k = 0; k < 4; ++k) {
        const SettlingSmoother& s = *smoothers[k < n ? k : 0];
        value[k] = s.smoother.value;
        a[k] = s.smoother.a;
        oneMinusA[k] = s.smoother.oneMinusA;
        target[k] = targets[k < n ? k : 0];
        jumpBits[k] = s.smoother.jump ? -1 : 0;
    }
    const __m128 aV = _mm_load_ps(a), oneMinusAV = _mm_load_ps(oneMinusA), targetV = _mm_load_ps(target);
    const __m128 towardsTarget = _mm_mul_ps(oneMinusAV, targetV);
    const __m128 magnitude = _mm_castsi128_ps(_mm_set1_epi32(0x7fffffff));
    const __m128 tiny = _mm_set1_ps(1e-20f), largest = _mm_set1_ps(FLT_MAX);
    __m128 v = _mm_load_ps(value);
    __m128 jump = _mm_load_ps(reinterpret_cast<const float*>(jumpBits));
    __m128 before = v, jumped = jump;
    auto update = [&] {
        before = v;
        jumped = jump;
        const __m128 moved = _mm_add_ps(_mm_mul_ps(aV, v), towardsTarget);
        v = _mm_or_ps(_mm_and_ps(jump, targetV), _mm_andnot_ps(jump, moved));
        const __m128 size = _mm_and_ps(v, magnitude);
        v = _mm_andnot_ps(_mm_cmplt_ps(size, tiny), v);
        const __m128 finite = _mm_cmple_ps(_mm_and_ps(v, magnitude), largest);
        v = _mm_and_ps(v, finite);
        jump = _mm_andnot_ps(finite, _mm_castsi128_ps(_mm_set1_epi32(-1)));
        return v;
    };
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128 s0 = update(), s1 = update(), s2 = update(), s3 = update();
        storeTransposed(s0, s1, s2, s3, outputs, n, i);
    }
    for (; i < count; ++i) storeLanes(update(), outputs, n, i);

    const __m128 settledV = _mm_andnot_ps(jumped, _mm_cmpeq_ps(v, before));
    const int settledBits = _mm_movemask_ps(settledV), jumpMask = _mm_movemask_ps(jump);
    _mm_store_ps(value, v);
    for (int k = 0; k < n; ++k) {
        SettlingSmoother& s = *smoothers[k];
        s.smoother.value = value[k];
        s.smoother.jump = (jumpMask >> k) & 1;
        s.settled = (settledBits >> k) & 1;
        s.lastTarget = targets[k];
    }
}

#else

void SettlingSmoother::fillFour(SettlingSmoother* const* smoothers, const float* targets, float* const* outputs,
                                int n, int count) {
    for (int k = 0; k < n; ++k) smoothers[k]->fill(targets[k], outputs[k], count);
}

#endif
