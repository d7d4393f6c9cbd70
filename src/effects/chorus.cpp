#include "effects/chorus.h"

#include "effects/idle_watch.h"
#include "effects/unit_range.h"
#include "params/parameter_id.h"
#include "params/value_mappings.h"

namespace tvx {

void Chorus::prepare(float sampleRate) {
    left_.prepare(sampleRate);
    right_.prepare(sampleRate);
    mix_.prepare(sampleRate);
    depth_.prepare(sampleRate);
    delay_.prepare(sampleRate);
}

void Chorus::jumpSmoothers() {
    mix_.jumpToNextTarget();
    depth_.jumpToNextTarget();
    delay_.jumpToNextTarget();
}

void Chorus::clear() {
    left_.clear();
    right_.clear();
}

void Chorus::beginBlock(const float* params) {
    float rate = chorusRateHz(clampUnit(params[ChorusRate]));
    left_.setRate(rate * 0.9f);
    right_.setRate(rate);
}

bool Chorus::settled(const float* params) const {
    return holdsAt(mix_, clampUnit(params[ChorusMix])) && holdsAt(depth_, clampUnit(params[ChorusDepth])) &&
           holdsAt(delay_, clampUnit(params[ChorusDelay]));
}

void Chorus::rest(int count) {
    left_.advanceLfo(count);
    right_.advanceLfo(count);
}

void Chorus::process(const float* params, float& left, float& right) {
    float mix = mix_.update(clampUnit(params[ChorusMix]));
    float depth = depth_.update(clampUnit(params[ChorusDepth]));
    float delay = delay_.update(clampUnit(params[ChorusDelay]));
    left_.setShape(depth, delay);
    right_.setShape(depth, delay);
    float wetLeft = left_.process(left);
    float wetRight = right_.process(right);
    left = (1.0f - mix) * left + mix * wetLeft;
    right = (1.0f - mix) * right + mix * wetRight;
}

}  // namespace tvx
