#pragma once

#include "effects/chorus_line.h"
#include "dsp/param_smoother.h"

namespace tvx {

// Stereo chorus: two modulated lines, the left LFO at 0.9 times the right's rate.
class Chorus {
public:
    void prepare(float sampleRate);
    void jumpSmoothers();
    void clear();   // silent lines
    void beginBlock(const float* params);
    void process(const float* params, float& left, float& right);
    bool settled(const float* params) const;   // the smoothers hold
    void rest(int count);                      // count silent samples: only the LFOs move
    int memorySamples() const { return left_.capacity(); }
    bool quietInside(float level) const { return left_.quietBelow(level) && right_.quietBelow(level); }

    const ChorusLine& line(int side) const { return side == 0 ? left_ : right_; }

private:
    ChorusLine left_;
    ChorusLine right_;
    ParamSmoother mix_;
    ParamSmoother depth_;
    ParamSmoother delay_;
};

}  // namespace tvx
