#include "dsp/settling_smoother.h"

namespace tvx {

void SettlingSmoother::fillSideBySide(SettlingSmoother* const* smoothers, const float* targets,
                                      float* const* outputs, int n, int count) {
    SettlingSmoother* moving[4];
    float movingTargets[4];
    float* movingOutputs[4];
    int waiting = 0;
    auto fillWaiting = [&] {
        if (waiting == 1)
            moving[0]->fill(movingTargets[0], movingOutputs[0], count);
        else if (waiting > 1)
            fillFour(moving, movingTargets, movingOutputs, waiting, count);
        waiting = 0;
    };
    for (int k = 0; k < n; ++k) {
        // A settled smoother only repeats its value: its own fill() does that at once.
        if (!TVX_SSE2 || smoothers[k]->settledAt(targets[k])) {
            smoothers[k]->fill(targets[k], outputs[k], count);
            continue;
        }
        moving[waiting] = smoothers[k];
        movingTargets[waiting] = targets[k];
        movingOutputs[waiting] = outputs[k];
        if (++waiting == 4) fillWaiting();
    }
    fillWaiting();
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

void SettlingSmoother::fillFour(SettlingSmoother* const* smoothers, const float* targets, float* const* outputs,
                                int n, int count) {
    if (count <= 0) return;
    SettlingSmoother* lanes[4];
    alignas(16) float target[4];
    for (int k = 0; k < 4; ++k) {
        lanes[k] = smoothers[k < n ? k : 0];
        target[k] = targets[k < n ? k : 0];
    }
    SettlingSmootherLanes s(lanes);
    const __m128 targetV = _mm_load_ps(target);
    const __m128 towardsTarget = _mm_mul_ps(s.oneMinusA, targetV);
    auto update = [&] { return s.updateTowards(targetV, towardsTarget); };
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128 s0 = update(), s1 = update(), s2 = update(), s3 = update();
        storeTransposed(s0, s1, s2, s3, outputs, n, i);
    }
    for (; i < count; ++i) storeLanes(update(), outputs, n, i);
    s.store(smoothers, n, targetV);
}

#else

void SettlingSmoother::fillFour(SettlingSmoother* const* smoothers, const float* targets, float* const* outputs,
                                int n, int count) {
    for (int k = 0; k < n; ++k) smoothers[k]->fill(targets[k], outputs[k], count);
}

#endif

}  // namespace tvx
