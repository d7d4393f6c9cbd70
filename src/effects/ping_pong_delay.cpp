#include "effects/ping_pong_delay.h"

#include <cmath>
#include <initializer_list>

#include "effects/idle_watch.h"
#include "effects/unit_range.h"
#include "params/note_division.h"
#include "params/parameter_id.h"
#include "params/value_mappings.h"

namespace tvx {

namespace {

// Echoes fading in the feedback loop would otherwise pass through the slow
// denormal range for tens of seconds; 1e-20 is far below anything audible.
inline float flushTiny(float v) { return std::fabs(v) < 1e-20f ? 0.0f : v; }

}  // namespace

void PingPongDelay::prepare(float sampleRate) {
    sampleRate_ = sampleRate;
    left_.allocate(sampleRate);
    right_.allocate(sampleRate);
    lowCutLeft_.clear();
    lowCutRight_.clear();
    lastRight_ = 0.0f;
    for (ParamSmoother* s : {&mix_, &feedback_, &lowCut_, &width_}) s->prepare(sampleRate);
}

void PingPongDelay::jumpSmoothers() {
    for (ParamSmoother* s : {&mix_, &feedback_, &lowCut_, &width_}) s->jumpToNextTarget();
}

void PingPongDelay::clear() {
    left_.clear();
    right_.clear();
    lowCutLeft_.clear();
    lowCutRight_.clear();
    lastRight_ = 0.0f;
}

int PingPongDelay::delaySamples(const float* params, float tempo, int denominator) const {
    float ms;
    if (params[DelaySync] > 0.0f) {
        ms = stepDivisionMs(params[DelayTime], denominator, tempo);
    } else {
        ms = delayTimeMs(clampUnit(params[DelayTime]));
    }
    float samples = ms * 0.001f * sampleRate_;
    // Odd tempos and denominators give NaN, negative, zero or endless times.
    int capacity = left_.capacity();
    if (!(samples >= 1.0f)) return 1;
    if (samples >= static_cast<float>(capacity)) return capacity;
    return static_cast<int>(samples);
}

void PingPongDelay::beginBlock(const float* params, float tempo, int denominator) {
    if (params[DelayMix] > 0.0f) {
        int n = delaySamples(params, tempo, denominator);
        left_.setLength(n);
        right_.setLength(n);
        return;
    }
    // Switched off: the next switch-on starts from silence, old feedback included.
    if (left_.dirty() || right_.dirty()) {
        left_.clearIfDirty();
        right_.clearIfDirty();
        lowCutLeft_.clear();
        lowCutRight_.clear();
        lastRight_ = 0.0f;
    }
}

bool PingPongDelay::settled(const float* params) const {
    return holdsAt(mix_, clampUnit(params[DelayMix]) * 0.5f) && holdsAt(feedback_, clampUnit(params[DelayFeedback])) &&
           holdsAt(width_, clampUnit(params[DelayWidth])) && holdsAt(lowCut_, clampUnit(params[DelayLoCut]));
}

// Echoes the low cut has taken out of the output still circle in the lines
// (a direct offset, say): the lines themselves must be quiet.
bool PingPongDelay::quietInside(float level) const {
    return std::fabs(lastRight_) < level && left_.quietBelow(level) && right_.quietBelow(level) &&
           lowCutLeft_.quietBelow(level) && lowCutRight_.quietBelow(level);
}

void PingPongDelay::rest(int count) {
    lowCutLeft_.rest(count);
    lowCutRight_.rest(count);
}

void PingPongDelay::process(const float* params, float& left, float& right) {
    float mix = mix_.update(clampUnit(params[DelayMix]) * 0.5f);
    float fb = feedback_.update(clampUnit(params[DelayFeedback]));
    float width = width_.update(clampUnit(params[DelayWidth]));
    float lowCut = lowCut_.update(clampUnit(params[DelayLoCut]));

    float echoLeft = left_.exchange(flushTiny(fb * lastRight_ + (left + right)));
    float echoRight = right_.exchange(flushTiny(echoLeft * fb));
    lastRight_ = echoRight;

    float cutoff = delayLowCutHz(lowCut) / (sampleRate_ * 0.5f);
    float j = lowCutLeft_.process(echoLeft, cutoff);
    float k = lowCutRight_.process(echoRight, cutoff);

    float u = width - 0.5f;
    left = ((u + 0.5f) * k + (0.5f - u) * j) * mix + (1.0f - mix) * left;
    right = ((u + 0.5f) * j + (0.5f - u) * k) * mix + (1.0f - mix) * right;
}

}  // namespace tvx
