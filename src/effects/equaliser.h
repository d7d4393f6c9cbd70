#pragma once

#include "effects/svf_filter.h"
#include "dsp/param_smoother.h"

namespace tvx {

// Two bands: band 1 a low bell or low shelf (20..1000 Hz), band 2 a high bell
// or high shelf (500..18000 Hz), each -20..+20 dB.
class Equaliser {
public:
    void prepare(float sampleRate);
    void jumpSmoothers();
    void process(const float* params, float& left, float& right);
    void clear();  // filter states only; normal operation never clears them
    // The smoothers hold and the bands that filter have next to nothing left.
    bool settled(const float* params) const;
    // Both bands at 0 dB and staying there: every sample leaves as it came.
    bool passesThrough(const float* params) const;
    void rest(int) {}   // no clocks
    bool quietInside(float) const { return true; }   // weighed in settled()

private:
    struct Band {
        ParamSmoother gainDb;
        ParamSmoother frequencyHz;
        SvfFilter filter;
    };
    bool bandSettled(const Band& band, float gainParam, float frequencyHz) const;
    void processBand(Band& band, float gainParam, float frequencyHz, SvfFilter::Type type,
                     float& left, float& right);

    Band band1_;
    Band band2_;
    float sampleRate_ = 44100.0f;
};

}  // namespace tvx
