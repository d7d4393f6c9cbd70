#pragma once

#include "effects/reverb_line.h"
#include "effects/reverb_lowpass.h"
#include "dsp/param_smoother.h"

namespace tvx {

// Stereo plate reverb: input low-pass, two multi-tap early-reflection lines,
// four input diffusers and a figure-of-eight tank of two halves, each feeding
// the other, read through seven signed taps per side.
class PlateReverb {
public:
    PlateReverb();
    void prepare(float sampleRate);  // storage for the rate, then cleared
    void jumpSmoothers();            // the mix smoother
    void clear();                    // silent, tank set up again at the next active block
    // Block start: size, decay and width targets, ramps across the block; or
    // one clearing after switching off.
    void beginBlock(const float* params, int blockLength);
    void process(const float* params, float& left, float& right);
    bool settled(const float* params) const;   // the mix smoother holds
    void rest(int count);                      // count silent samples: the ramps and the coefficient clock move
    int memorySamples() const;                 // every line of the way from the input to the taps
    bool quietInside(float level) const;       // every line and filter

    const ReverbLine& tankADelay1() const { return tankA_.delay1; }
    const ReverbLine& diffuser(int i) const { return diffusers_[i]; }

private:
    struct TankHalf {
        ReverbLine allpass1, delay1, allpass2, delay2;
        ReverbLowpass damping;
    };
    struct Ramp {
        float value = 0.0f;
        float increment = 0.0f;
        void aim(float target, int samples);
    };

    void setTankSize(float sizeFactor);
    void setFixedLengths();
    void setCoefficients();
    float earlyLeft(float l, float r);
    float earlyRight(float l, float r);

    float sampleRate_ = 44100.0f;
    int samplesPerMs_ = 44;
    int coefficientCounter_ = 0;
    float lastSize_ = -1.0f;
    float sizeFactor_ = 1.0f;
    bool needsClear_ = false;

    ReverbLowpass inputLeft_, inputRight_;
    ReverbLine earlyLeft_, earlyRight_, preDelay_;
    int earlyLeftTaps_[6] = {};
    int earlyRightTaps_[6] = {};
    ReverbLine diffusers_[4];
    TankHalf tankA_, tankB_;
    // Output tap offsets in the order of their use.
    int tapB1a_ = 0, tapB1b_ = 0, tapB2ap_ = 0, tapB2_ = 0, tapA1_ = 0, tapA2ap_ = 0, tapA2_ = 0;
    int tapA1c_ = 0, tapA1d_ = 0, tapA2apR_ = 0, tapA2R_ = 0, tapB1R_ = 0, tapB2apR_ = 0, tapB2R_ = 0;
    float feedA_ = 0.0f, feedB_ = 0.0f;

    Ramp decay_;
    Ramp width_;
    ParamSmoother mix_;
};

}  // namespace tvx
