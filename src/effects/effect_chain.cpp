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
    resting_ = false;
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

int EffectChain::activeStages(const float* params) {
    int mask = (1 << DriveStage) | (1 << EqualiserStage);
    if (params[ChorusMix] > 0.0f) mask |= 1 << ChorusStage;
    if (params[DelayMix] > 0.0f) mask |= 1 << DelayStage;
    if (params[ReverbMix] > 0.0f) mask |= 1 << ReverbStage;
    return mask;
}

bool EffectChain::mayRest(const float* params) const {
    if (!resting_ || activeStages(params) != restingStages_) return false;
    return drive_.settled(params) && equaliser_.settled(params) && (!restsWith(ChorusStage) || chorus_.settled(params)) &&
           (!restsWith(DelayStage) || delay_.settled(params)) && (!restsWith(ReverbStage) || reverb_.settled(params));
}

// A resting chain skips its work; the clocks of its stages (LFOs, ramps)
// move on as they would have, so that it comes back where processing would
// have brought it.
void EffectChain::rest(int count) {
    drive_.rest(count);
    equaliser_.rest(count);
    if (restsWith(ChorusStage)) chorus_.rest(count);
    if (restsWith(DelayStage)) delay_.rest(count);
    if (restsWith(ReverbStage)) reverb_.rest(count);
}

// Processes a stage and returns whether its output counts as silent for the
// next one: its input did, its output has been quiet for as long as it
// remembers, nothing in it moves and what it holds is next to nothing.
template <typename Effect, typename Run>
bool EffectChain::runStage(Stage stage, Effect& effect, const float* params, bool quietInput, int memory, Run run,
                           float* left, float* right, int count) {
    for (int i = 0; i < count; ++i) runGuarded(effect, [&] { run(left[i], right[i]); }, left[i], right[i]);
    IdleWatch& watch = watches_[stage];
    if (!quietInput) {
        watch.wake();
        return false;
    }
    if (!watch.heard(left, right, count, memory) || !effect.settled(params)) {
        watch.ready = false;
        return false;
    }
    if (!watch.ready) watch.weighed(effect.quietInside(kQuietStateLevel));
    return watch.ready;
}

// The chain rests as a whole: a stage that stopped alone would change, if
// only far below hearing, what a later stage still sounding is given, and
// the delay's low cut at its lowest corner turns the slightest change of its
// input into rounding noise of its own at about -100 dBFS.
bool EffectChain::processRun(const float* params, float* left, float* right, int count, bool silent) {
    if (silent && mayRest(params)) {
        rest(count);
        return true;
    }
    resting_ = false;
    if (!silent) {
        // The voices' sum is not ours to trust either.
        for (int i = 0; i < count; ++i) {
            if (!std::isfinite(left[i])) left[i] = 0.0f;
            if (!std::isfinite(right[i])) right[i] = 0.0f;
        }
    }

    // A neutral drive or equaliser is skipped: what it would do changes no sample.
    bool quiet = silent;
    if (drive_.passesThrough(params))
        watches_[DriveStage].wake();
    else
        quiet = runStage(DriveStage, drive_, params, quiet, 0, [&](float& l, float& r) {
            drive_.process(params, l, r);
            if (!isFinitePair(l, r)) l = r = 0.0f;  // overflow of a huge input
        }, left, right, count);

    if (equaliser_.passesThrough(params))
        watches_[EqualiserStage].wake();
    else
        quiet = runStage(EqualiserStage, equaliser_, params, quiet, 0,
                         [&](float& l, float& r) { equaliser_.process(params, l, r); }, left, right, count);

    if (params[ChorusMix] > 0.0f)
        quiet = runStage(ChorusStage, chorus_, params, quiet, chorus_.memorySamples(),
                         [&](float& l, float& r) { chorus_.process(params, l, r); }, left, right, count);
    else
        watches_[ChorusStage].wake();
    if (params[DelayMix] > 0.0f)
        quiet = runStage(DelayStage, delay_, params, quiet, delay_.memorySamples(),
                         [&](float& l, float& r) { delay_.process(params, l, r); }, left, right, count);
    else
        watches_[DelayStage].wake();
    if (params[ReverbMix] > 0.0f)
        quiet = runStage(ReverbStage, reverb_, params, quiet, reverb_.memorySamples(),
                         [&](float& l, float& r) { reverb_.process(params, l, r); }, left, right, count);
    else
        watches_[ReverbStage].wake();

    // Every stage is ready: the chain rests from the next run on.
    resting_ = quiet;
    restingStages_ = activeStages(params);
    return false;
}

}  // namespace tvx
