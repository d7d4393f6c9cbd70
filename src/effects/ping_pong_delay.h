#pragma once

#include "effects/delay_line.h"
#include "effects/low_cut_filter.h"
#include "dsp/param_smoother.h"

namespace tvx {

// Stereo ping-pong delay: the mono input enters the left line, whose output
// feeds the right line, whose output feeds back into the left one. The echoes
// pass a low-cut filter and are placed by the width control.
class PingPongDelay {
public:
    void prepare(float sampleRate);  // new six-second lines, silent
    void jumpSmoothers();
    void clear();                    // silent lines and echo path
    // Block start: the line lengths while on, one clearing after switching off.
    void beginBlock(const float* params, float tempo, int denominator);
    void process(const float* params, float& left, float& right);
    bool settled(const float* params) const;   // the smoothers hold
    void rest(int count);
    // An echo leaves through both lines before it is heard for the last time.
    int memorySamples() const { return left_.length() + right_.length() + 2; }
    bool quietInside(float level) const;

    const DelayLine& line(int side) const { return side == 0 ? left_ : right_; }
    // Delay in samples for the parameters, always 1..capacity.
    int delaySamples(const float* params, float tempo, int denominator) const;

private:
    DelayLine left_;
    DelayLine right_;
    LowCutFilter lowCutLeft_;
    LowCutFilter lowCutRight_;
    float lastRight_ = 0.0f;
    float sampleRate_ = 44100.0f;
    ParamSmoother mix_;
    ParamSmoother feedback_;
    ParamSmoother lowCut_;
    ParamSmoother width_;
};

}  // namespace tvx
