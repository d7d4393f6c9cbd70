#include "dsp/settling_smoother.h"

namespace tvx {

void SettlingSmoother::fillSideBySide(SettlingSmoother* const* smoothers, const float* targets,
                                      float* const* outputs, int n, int count) {
    SettlingSmoother* moving[8];
    float movingTargets[8];
    float* movingOutputs[8];
    int waiting = 0;
    auto fillWaiting = [&] {
        if (waiting == 1)
            moving[0]->fill(movingTargets[0], movingOutputs[0], count);
        else if (waiting > 1)
            fillUpToEight(moving, movingTargets, movingOutputs, waiting, count);
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
        if (++waiting == 8) fillWaiting();
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

namespace {

// Four of the smoothers, lanes past n repeating the first.
struct FourLanes {
    SettlingSmoother* smoothers[4];
    __m128 target, towardsTarget;
    SettlingSmootherLanes lanes;

    FourLanes(SettlingSmoother* const* from, const float* targets, int n) : lanes(pick(from, n, smoothers)) {
        alignas(16) float t[4];
        for (int k = 0; k < 4; ++k) t[k] = targets[k < n ? k : 0];
        target = _mm_load_ps(t);
        towardsTarget = _mm_mul_ps(lanes.oneMinusA, target);
    }
    static SettlingSmoother* const* pick(SettlingSmoother* const* from, int n, SettlingSmoother** into) {
        for (int k = 0; k < 4; ++k) into[k] = from[k < n ? k : 0];
        return into;
    }
    bool steady() const { return lanes.steadyTowards(target); }
    template <bool kSteady>
    __m128 update() {
        return kSteady ? lanes.updateSteadily(towardsTarget) : lanes.updateTowards(target, towardsTarget);
    }
};

template <bool kSteady>
void fillFour(FourLanes& a, float* const* outputs, int n, int count) {
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128 s0 = a.update<kSteady>(), s1 = a.update<kSteady>(), s2 = a.update<kSteady>(),
                     s3 = a.update<kSteady>();
        storeTransposed(s0, s1, s2, s3, outputs, n, i);
    }
    for (; i < count; ++i) storeLanes(a.update<kSteady>(), outputs, n, i);
}

// Two registers of four: each update waits on the one before it, and the
// second register's updates fill that wait.
template <bool kSteady>
void fillEight(FourLanes& a, FourLanes& b, float* const* outputs, int first, int second, int count) {
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        __m128 sa[4], sb[4];
        for (int k = 0; k < 4; ++k) {
            sa[k] = a.update<kSteady>();
            sb[k] = b.update<kSteady>();
        }
        storeTransposed(sa[0], sa[1], sa[2], sa[3], outputs, first, i);
        storeTransposed(sb[0], sb[1], sb[2], sb[3], outputs + 4, second, i);
    }
    for (; i < count; ++i) {
        storeLanes(a.update<kSteady>(), outputs, first, i);
        storeLanes(b.update<kSteady>(), outputs + 4, second, i);
    }
}

}  // namespace

void SettlingSmoother::fillUpToEight(SettlingSmoother* const* smoothers, const float* targets,
                                     float* const* outputs, int n, int count) {
    if (count <= 0) return;
    const int first = n < 4 ? n : 4, second = n - first;
    FourLanes a(smoothers, targets, first);
    if (second == 0) {
        if (a.steady())
            fillFour<true>(a, outputs, first, count);
        else
            fillFour<false>(a, outputs, first, count);
        a.lanes.store(smoothers, first, a.target);
        return;
    }
    FourLanes b(smoothers + 4, targets + 4, second);
    if (a.steady() && b.steady())
        fillEight<true>(a, b, outputs, first, second, count);
    else
        fillEight<false>(a, b, outputs, first, second, count);
    a.lanes.store(smoothers, first, a.target);
    b.lanes.store(smoothers + 4, second, b.target);
}

#else

void SettlingSmoother::fillUpToEight(SettlingSmoother* const* smoothers, const float* targets,
                                     float* const* outputs, int n, int count) {
    for (int k = 0; k < n; ++k) smoothers[k]->fill(targets[k], outputs[k], count);
}

#endif

}  // namespace tvx
