#pragma once

#include "effects/chorus.h"
#include "effects/drive.h"
#include "effects/equaliser.h"
#include "effects/idle_watch.h"
#include "effects/ping_pong_delay.h"
#include "effects/plate_reverb.h"

namespace tvx {

// drive, equaliser, chorus, delay, reverb in this fixed order
class EffectChain {
public:
    EffectChain();                    // buffers for 44100 Hz
    void prepare(float sampleRate);   // reallocate/clear lines, chorus set-up, reverb rate, smoother coefficients
    void reset();                     // clear delay, chorus, reverb; every smoother jumps to its next target
    // block start (sample 0): delay lengths/clearing, chorus rates, reverb size/targets/ramps for n samples
    void beginBlock(const float* params, float tempo, int denominator, int blockLength);
    void process(const float* params, float& left, float& right);  // one sample through the chain
    // count samples through the chain, stage after stage, as process() would
    // take them. With a silent input (every sample 0) once every tail has
    // ended, the chain rests instead; returns whether the output is silent.
    bool processRun(const float* params, float* left, float* right, int count, bool silent);
    bool resting() const { return resting_; }

private:
    enum Stage { DriveStage, EqualiserStage, ChorusStage, DelayStage, ReverbStage, kStages };
    template <typename Effect, typename Run>
    bool runStage(Stage stage, Effect& effect, const float* params, bool quietInput, int memory, Run run,
                  float* left, float* right, int count);
    static int activeStages(const float* params);   // bit per Stage
    bool restsWith(Stage stage) const { return (restingStages_ & (1 << stage)) != 0; }
    bool mayRest(const float* params) const;
    void rest(int count);
    void wakeAll();

    IdleWatch watches_[kStages];
    bool resting_ = false;
    int restingStages_ = 0;
    Drive drive_;
    Equaliser equaliser_;
    Chorus chorus_;
    PingPongDelay delay_;
    PlateReverb reverb_;
};

}  // namespace tvx
