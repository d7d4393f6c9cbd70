#include "effects/effect_chain.h"

#include <cmath>

#include "dsp/sample_rate_limits.h"
#include "effects/unit_range.h"
#include "params/parameter_id.h"

namespace tvx {

namespace {

// Rates outside what any host uses would size the lines to nothing or to
// gigabytes; NaN and non-positive rates fall back to the construction rate.
float usableSampleRate(float fs) {
    if (!(fs > 0.0f) || !std::isfinite(fs)) return 44100.0f;
    if (fs < kMinSampleRate) return kMinSampleRate;
    if (fs > kMaxSampleRate) return kMaxSampleRate;
    return fs;
}

// A stage whose output is not finite has NaN or infinity in its state: it is
// cleared and passes its input on, so the fault lasts one sample at most.
template <typename Stage, typename Run>
void runGuarded(Stage& stage, Run run, float& left, float& right) {
    float inLeft = left, inRight = right;
    run();
    if (!isFinitePair(left, right)) {
        stage.clear();
        left = inLeft;
        right = inRight;
    }
}

}  // namespace

EffectChain::EffectChain() { prepare(44100.0f); }

void EffectChain::prepare(float sampleRate) {
    float fs = usableSampleRate(sampleRate);
    wakeAll();
    drive_.prepare(fs);
    equaliser_.prepare(fs);
    delay_.prepare(fs);
    chorus_.prepare(fs);
    reverb_.prepare(fs);
}

void EffectChain::wakeAll() {
    for (IdleWatch& watch : watches_) watch.wake();
}

void EffectChain::reset() {
    wakeAll();
    delay_.clear();
    chorus_.clear();
    reverb_.clear();
    drive_.jumpSmoothers();
    equaliser_.jumpSmoothers();
    chorus_.jumpSmoothers();
    delay_.jumpSmoothers();
    reverb_.jumpSmoothers();
}

void EffectChain::beginBlock(const float* params, float tempo, int denominator, int blockLength) {
    delay_.beginBlock(params, tempo, denominator);
    if (params[ChorusMix] > 0.0f) chorus_.beginBlock(params);
    reverb_.beginBlock(params, blockLength);
}

void EffectChain::process(const float* params, float& left, float& right) {
    // The voices' sum is not ours to trust either.
    if (!std::isfinite(left)) left = 0.0f;
    if (!std::isfinite(right)) right = 0.0f;

    drive_.process(params, left, right);
    if (!isFinitePair(left, right)) left = right = 0.0f;  // overflow of a huge input

    runGuarded(equaliser_, [&] { equaliser_.process(params, left, right); }, left, right);
    if (params[ChorusMix] > 0.0f)
        runGuarded(chorus_, [&] { chorus_.process(params, left, right); }, left, right);
    if (params[DelayMix] > 0.0f)
        runGuarded(delay_, [&] { delay_.process(params, left, right); }, left, right);
    if (params[ReverbMix] > 0.0f)
        runGuarded(reverb_, [&] { reverb_.process(params, left, right); }, left, right);
}

// A resting stage skips its work; its clocks (LFOs, ramps) move on as they
// would have, so that it comes back where processing would have brought it.
template <typename Effect, typename Run>
bool EffectChain::runStage(Stage stage, Effect& effect, const float* params, bool silent, int memory, Run run,
                           float* left, float* right, int count) {
    IdleWatch& watch = watches_[stage];
    if (silent && watch.resting && effect.settled(params)) {
        effect.rest(count);
        return true;
    }
    for (int i = 0; i < count; ++i) runGuarded(effect, [&] { run(left[i], right[i]); }, left[i], right[i]);
    if (silent)
        watch.heard(left, right, count, memory, effect.settled(params));
    else
        watch.wake();
    return false;
}

bool EffectChain::processRun(const float* params, float* left, float* right, int count, bool silent) {
    if (!silent) {
        // The voices' sum is not ours to trust either.
        for (int i = 0; i < count; ++i) {
            if (!std::isfinite(left[i])) left[i] = 0.0f;
            if (!std::isfinite(right[i])) right[i] = 0.0f;
        }
    }

    silent = runStage(DriveStage, drive_, params, silent, 0, [&](float& l, float& r) {
        drive_.process(params, l, r);
        if (!isFinitePair(l, r)) l = r = 0.0f;  // overflow of a huge input
    }, left, right, count);

    silent = runStage(EqualiserStage, equaliser_, params, silent, 0,
                      [&](float& l, float& r) { equaliser_.process(params, l, r); }, left, right, count);

    if (params[ChorusMix] > 0.0f)
        silent = runStage(ChorusStage, chorus_, params, silent, chorus_.memorySamples(),
                          [&](float& l, float& r) { chorus_.process(params, l, r); }, left, right, count);
    else
        watches_[ChorusStage].wake();
    if (params[DelayMix] > 0.0f)
        silent = runStage(DelayStage, delay_, params, silent, delay_.memorySamples(),
                          [&](float& l, float& r) { delay_.process(params, l, r); }, left, right, count);
    else
        watches_[DelayStage].wake();
    if (params[ReverbMix] > 0.0f)
        silent = runStage(ReverbStage, reverb_, params, silent, reverb_.memorySamples(),
                          [&](float& l, float& r) { reverb_.process(params, l, r); }, left, right, count);
    else
        watches_[ReverbStage].wake();
    return silent;
}

}  // namespace tvx
