#pragma once

#include "engine/param_smoother.h"

// A ParamSmoother that stops working once it has settled: when an update
// left the value unchanged and the target is still the same, every further
// update would give that value again, so it is returned as it stands.
// Results are bit for bit those of the plain smoother.
struct SettlingSmoother {
    ParamSmoother smoother;
    float lastTarget = 0.0f;
    bool settled = false;

    void reset() { smoother.reset(); }
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
    // still move run four to a register, with the results of their own fill().
    static void fillSideBySide(SettlingSmoother* const* smoothers, const float* targets, float* const* outputs,
                               int n, int count);

private:
    static void fillFour(SettlingSmoother* const* smoothers, const float* targets, float* const* outputs,
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
