#include "effects/drive.h"

#include <cmath>

#include "effects/idle_watch.h"
#include "effects/unit_range.h"
#include "params/parameter_id.h"
#include "params/value_mappings.h"

namespace tvx {

namespace {

float signedSquareRoot(float x) { return x > 0.0f ? std::sqrt(x) : -std::sqrt(-x); }

}  // namespace

void Drive::prepare(float sampleRate) {
    amount_.prepare(sampleRate);
    gain_.prepare(sampleRate);
}

void Drive::jumpSmoothers() {
    amount_.jumpToNextTarget();
    gain_.jumpToNextTarget();
}

bool Drive::settled(const float* params) const {
    return holdsAt(amount_, clampUnit(params[DriveAmount])) &&
           holdsAt(gain_, driveGainLinear(clampUnit(params[DriveGain])));
}

bool Drive::passesThrough(const float* params) const {
    return amount_.value == 0.0f && gain_.value == 1.0f && settled(params);
}

void Drive::process(const float* params, float& left, float& right) {
    float amount = amount_.update(clampUnit(params[DriveAmount]));
    if (amount > 0.0f) {
        left += (signedSquareRoot(left) - left) * amount;
        right += (signedSquareRoot(right) - right) * amount;
    }
    float gain = gain_.update(driveGainLinear(clampUnit(params[DriveGain])));
    left *= gain;
    right *= gain;
}

}  // namespace tvx
